#!/usr/bin/env python3
"""Runs the guest test programs inside a virtual machine with Debian's stock kernel.

The machines that build Keywright have no uhid, uinput or evdev devices and cannot load modules, so
the code that talks to those kernel interfaces is exercised here: a Debian 6.1 kernel boots under
QEMU with an initramfs holding busybox, the HID and input modules, the guest test programs with
the shared libraries they need, and an init script that runs every check and powers off.

The kernel, its modules and busybox are fetched once with `apt-get download`, unpacked with
`dpkg-deb -x` (never installed) and kept in ${XDG_CACHE_HOME:-~/.cache}/keywright-vm/<kernel>/.
The initramfs is rebuilt on every run from the current build.

Exit codes: 0 every check passed; 1 a check failed, the guest did not finish in time, or the kit
could not be prepared although the package archive is reachable; 77 the archive is unreachable and
nothing is cached (the run is skipped).
"""

import argparse
import fcntl
import lzma
import os
import re
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import time
import urllib.parse
from pathlib import Path

SKIP = 77
# Load order matters: hid-generic binds the uhid devices (no udev in the guest to load it).
MODULES = ["hid", "hid-generic", "uhid", "evdev", "uinput"]
KERNEL_PATTERN = re.compile(r"^linux-image-(6\.1\.0-(\d+)-amd64)$")
MARK = "@@KWVM"


class KitError(Exception):
    pass


def log(text):
    print(f"vmkit: {text}", flush=True)


def cache_root():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return Path(base) / "keywright-vm"


def newest_kernel_package():
    """The newest linux-image-6.1.0-N-amd64 the package lists offer, as (package, release)."""
    try:
        out = subprocess.run(
            ["apt-cache", "search", "--names-only", r"^linux-image-6\.1\.0-[0-9]+-amd64$"],
            capture_output=True, text=True, timeout=60, check=False).stdout
    except (OSError, subprocess.TimeoutExpired):
        return None
    best = None
    for line in out.splitlines():
        name = line.split(" ", 1)[0]
        m = KERNEL_PATTERN.match(name)
        if m and (best is None or int(m.group(2)) > best[2]):
            best = (name, m.group(1), int(m.group(2)))
    return best[:2] if best else None


def host_answers(address):
    url = urllib.parse.urlparse(address)
    port = url.port or (443 if url.scheme == "https" else 80)
    try:
        with socket.create_connection((url.hostname, port), timeout=5):
            return True
    except OSError:
        return False


def archive_reachable(package=None):
    """True when the host that serves `package` answers on its port; without a package (or when
    apt cannot name its address), when a host of the configured sources answers."""
    addresses = []
    if package:
        try:
            out = subprocess.run(["apt-get", "download", "--print-uris", package],
                                 capture_output=True, text=True, timeout=60, check=False).stdout
            addresses = re.findall(r"'(https?://[^']+)'", out)[:1]
        except (OSError, subprocess.TimeoutExpired):
            pass
    if not addresses:
        sources = [Path("/etc/apt/sources.list"), *Path("/etc/apt/sources.list.d").glob("*.list"),
                   *Path("/etc/apt/sources.list.d").glob("*.sources")]
        for source in sources:
            try:
                text = source.read_text(errors="replace")
            except OSError:
                continue
            for line in text.splitlines():
                if not line.lstrip().startswith("#"):
                    addresses += re.findall(r"https?://[^\s\]]+", line)
    return any(host_answers(a) for a in dict.fromkeys(addresses))


def extract_vmlinux(vmlinuz, target):
    """The uncompressed ELF kernel inside a bzImage with an XZ payload; QEMU boots it through PVH
    without the costly decompression under emulation."""
    data = Path(vmlinuz).read_bytes()
    start = data.find(b"\xfd7zXZ\x00")
    while start >= 0:
        try:
            out = lzma.LZMADecompressor().decompress(data[start:])
        except lzma.LZMAError:
            out = b""
        if out.startswith(b"\x7fELF"):
            Path(target).write_bytes(out)
            return
        start = data.find(b"\xfd7zXZ\x00", start + 1)
    raise KitError(f"no XZ-compressed ELF kernel found in {vmlinuz}")


def module_bytes(ko):
    """A module's bytes, decompressed when the package ships it as .ko.xz."""
    data = Path(ko).read_bytes()
    return lzma.decompress(data) if str(ko).endswith(".xz") else data


def module_depends(ko):
    m = re.search(rb"depends=([^\x00]*)\x00", module_bytes(ko))
    return [d for d in m.group(1).decode().split(",") if d] if m else []


def newest_cached(cache):
    cached = sorted((p for p in cache.glob("6.1.0-*-amd64") if (p / "ready").exists()),
                    key=lambda p: int(p.name.split("-")[2]))
    return cached[-1] if cached else None


def refresh_package_lists():
    """apt-get update, when we may run it; stale lists name kernels the archive no longer has."""
    command = ["apt-get", "update", "-qq"]
    if os.geteuid() != 0:
        if shutil.which("sudo") is None:
            return False
        command = ["sudo", "-n", *command]
    log("refreshing the package lists")
    return subprocess.run(command, capture_output=True, timeout=600, check=False).returncode == 0


def prepare_kernel_refreshing(cache):
    """prepare_kernel, tried once more after refreshing the package lists when the archive answers
    but the kernel could not be had."""
    try:
        return prepare_kernel(cache)
    except KitError as error:
        if not refresh_package_lists():
            raise
        log(f"{error}; trying again with fresh package lists")
        return prepare_kernel(cache)


def prepare_kernel(cache):
    """Fills the cache folder of the newest kernel; returns it. Raises KitError, or exits with SKIP
    when the archive cannot be reached and nothing usable is cached."""
    found = newest_kernel_package()
    if found is None:
        if newest_cached(cache):
            return newest_cached(cache)
        if archive_reachable():
            raise KitError("the package lists name no linux-image-6.1.0-*-amd64 (run apt-get update)")
        log("the package lists name no kernel, the archive is unreachable and nothing is cached: skipped")
        sys.exit(SKIP)
    package, version = found
    folder = cache / version
    if (folder / "ready").exists():
        return folder
    folder.mkdir(parents=True, exist_ok=True)
    # One preparation at a time (test runs of several build folders may start together).
    with open(cache / f"{version}.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if (folder / "ready").exists():
            return folder
        return fetch_kernel(cache, package, version, folder)


def fetch_kernel(cache, package, version, folder):
    log(f"preparing {package} and busybox-static in {folder}")
    with tempfile.TemporaryDirectory(dir=folder) as work:
        work = Path(work)
        fetched = subprocess.run(["apt-get", "download", package, "busybox-static"], cwd=work,
                                 capture_output=True, text=True, timeout=600, check=False)
        if fetched.returncode != 0:
            if not archive_reachable(package):
                older = newest_cached(cache)
                if older:
                    log(f"the package archive is unreachable: using the cached {older.name}")
                    return older
                log("the package archive is unreachable and the kernel is not cached: skipped")
                log(fetched.stderr.strip())
                sys.exit(SKIP)
            raise KitError(f"apt-get download failed: {fetched.stderr.strip()}")
        for deb in work.glob("*.deb"):
            subprocess.run(["dpkg-deb", "-x", str(deb), str(work / "root")], check=True, timeout=600)
        root = work / "root"
        extract_vmlinux(root / "boot" / f"vmlinuz-{version}", folder / "vmlinux")
        shutil.copy2(root / "bin" / "busybox", folder / "busybox")
        kos = {p.name.split(".ko")[0]: p for p in (root / "lib" / "modules" / version).rglob("*.ko*")
               if p.name.endswith((".ko", ".ko.xz"))}
        order = []

        def add(name):
            name = name.replace("_", "-") if name.replace("_", "-") in kos else name
            if name in order:
                return
            if name not in kos:
                raise KitError(f"module {name} is not in {package}")
            for dep in module_depends(kos[name]):
                add(dep)
            order.append(name)

        for name in MODULES:
            add(name)
        (folder / "modules").mkdir(exist_ok=True)
        for name in order:
            (folder / "modules" / f"{name}.ko").write_bytes(module_bytes(kos[name]))
        (folder / "modules" / "order").write_text("\n".join(order) + "\n")
    (folder / "ready").write_text(package + "\n")
    return folder


class Cpio:
    """An uncompressed initramfs in the newc format."""

    def __init__(self, path):
        self.out = open(path, "wb")
        self.ino = 1
        self.names = set()

    def _entry(self, name, mode, data=b""):
        if name in self.names:
            return
        self.names.add(name)
        encoded = name.encode() + b"\x00"
        fields = [self.ino, mode, 0, 0, 1, 0, len(data), 0, 0, 0, 0, len(encoded), 0]
        self.ino += 1
        header = b"070701" + b"".join(b"%08X" % f for f in fields)
        self.out.write(header + encoded)
        self.out.write(b"\x00" * ((4 - (len(header) + len(encoded)) % 4) % 4))
        self.out.write(data)
        self.out.write(b"\x00" * ((4 - len(data) % 4) % 4))

    def directory(self, name):
        parts = name.strip("/").split("/")
        for i in range(1, len(parts) + 1):
            self._entry("/".join(parts[:i]), stat.S_IFDIR | 0o755)

    def file(self, name, source=None, data=None, mode=0o755, strip=False):
        name = name.strip("/")
        if "/" in name:
            self.directory(name.rsplit("/", 1)[0])
        if data is None:
            data = stripped(source) if strip else Path(source).read_bytes()
        self._entry(name, stat.S_IFREG | mode, data)

    def symlink(self, name, target):
        name = name.strip("/")
        if "/" in name:
            self.directory(name.rsplit("/", 1)[0])
        self._entry(name, stat.S_IFLNK | 0o777, target.encode())

    def close(self):
        self._entry("TRAILER!!!", 0)
        self.out.close()


def stripped(path):
    """The ELF file's bytes without its debugging sections: the guest loads less and boots sooner.
    Symbols stay, so sanitizer reports still name the functions."""
    with tempfile.NamedTemporaryFile() as copy:
        done = subprocess.run(["objcopy", "--strip-debug", str(path), copy.name], capture_output=True,
                              check=False)
        return Path(copy.name).read_bytes() if done.returncode == 0 else Path(path).read_bytes()


def shared_libraries(program):
    """Every shared library `program` loads, the loader included, as absolute paths."""
    out = subprocess.run(["ldd", program], capture_output=True, text=True, check=True).stdout
    libs = []
    for line in out.splitlines():
        m = re.search(r"=>\s*(/\S+)", line) or re.match(r"\s*(/\S+)", line)
        if m:
            libs.append(m.group(1))
    return libs


def add_with_links(cpio, path):
    """Adds `path` under its own name; symbolic links along the way are kept as links."""
    path = os.path.abspath(path)
    while os.path.islink(path):
        target = os.readlink(path)
        cpio.symlink(path, target)
        path = os.path.normpath(os.path.join(os.path.dirname(path), target))
    parent = os.path.dirname(path)
    if os.path.islink(parent):  # /lib -> usr/lib on merged-/usr systems
        cpio.symlink(parent, os.readlink(parent))
    cpio.file(path, source=path, strip=True)


def build_initramfs(kernel, programs, init_script, target, files=()):
    checks = []
    for program in programs:
        listed = subprocess.run([program, "--gtest_list_tests"], capture_output=True, text=True,
                                timeout=60, check=True).stdout
        suite = None
        for line in listed.splitlines():
            if not line.strip() or line.startswith("Running"):
                continue
            if not line.startswith(" "):
                suite = line.split("#")[0].strip()
            else:
                checks.append((os.path.basename(program), suite + line.split("#")[0].strip()))
    cpio = Cpio(target)
    for d in ("bin", "dev", "proc", "sys", "tmp", "run/udev", "guest", "lib/kw-modules"):
        cpio.directory(d)
    cpio.file("bin/busybox", source=kernel / "busybox")
    for name in (kernel / "modules" / "order").read_text().split():
        cpio.file(f"lib/kw-modules/{name}.ko", source=kernel / "modules" / f"{name}.ko", mode=0o644)
    cpio.file("lib/kw-modules/order", source=kernel / "modules" / "order", mode=0o644)
    cpio.file("init", source=init_script)
    libs = set()
    for program in programs:
        cpio.file(f"guest/{os.path.basename(program)}", source=program, strip=True)
        libs.update(shared_libraries(program))
    for lib in sorted(libs):
        add_with_links(cpio, lib)
    for source, dest in files:
        source = Path(source)
        for path in sorted(source.rglob("*")) if source.is_dir() else [source]:
            if path.is_file():
                name = dest if path == source else f"{dest}/{path.relative_to(source)}"
                cpio.file(name, source=path, mode=0o644)
    cpio.file("guest/checks", data="".join(f"{p} {c}\n" for p, c in checks).encode(), mode=0o644)
    cpio.close()
    return [c for _, c in checks]


def run_guest(kernel, initramfs, bound, memory):
    command = ["qemu-system-x86_64", "-kernel", str(kernel / "vmlinux"), "-initrd", str(initramfs),
               "-append", "console=ttyS0 quiet panic=-1", "-nographic", "-m", str(memory),
               "-no-reboot", "-nic", "none"]
    if os.access("/dev/kvm", os.R_OK | os.W_OK):
        command[1:1] = ["-enable-kvm", "-cpu", "host"]
    lines = []
    booted = None
    started = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, start_new_session=True)
    timed_out = False
    try:
        import selectors
        selector = selectors.DefaultSelector()
        selector.register(process.stdout, selectors.EVENT_READ)
        pending = b""
        while True:
            left = bound - (time.monotonic() - started)
            if left <= 0:
                timed_out = True
                break
            if not selector.select(timeout=min(left, 1.0)):
                if process.poll() is not None:
                    break
                continue
            chunk = os.read(process.stdout.fileno(), 65536)
            if not chunk:
                break
            pending += chunk
            *complete, pending = pending.split(b"\n")
            for raw in complete:
                line = raw.decode("utf-8", "replace").rstrip("\r")
                lines.append(line)
                print(line, flush=True)
                if booted is None and f"{MARK} BOOTED" in line:
                    booted = time.monotonic() - started
        if pending:
            lines.append(pending.decode("utf-8", "replace"))
    finally:
        if process.poll() is None:
            os.killpg(process.pid, 9)
        process.wait()
    return lines, timed_out, time.monotonic() - started, booted


def judge(lines, checks):
    """Per check: 'PASS', 'FAIL' or 'NO RESULT'; and whether the guest finished."""
    results = {c: "NO RESULT" for c in checks}
    finished = False
    for line in lines:
        i = line.find(MARK)
        if i < 0:
            continue
        words = line[i:].split()
        if len(words) >= 4 and words[1] == "END" and words[2] in results:
            results[words[2]] = "PASS" if words[3] == "0" else f"FAIL (exit {words[3]})"
        elif len(words) >= 3 and words[1] == "MODULE-FAILED":
            results.setdefault(f"module {words[2]}", "FAIL")
        elif len(words) >= 2 and words[1] == "DONE":
            finished = True
    return results, finished


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--work", required=True, help="folder for the initramfs")
    parser.add_argument("--init", required=True, help="the guest's init script")
    parser.add_argument("--bound", type=float, default=240, help="seconds the guest may run")
    parser.add_argument("--memory", type=int, default=1024, help="guest memory in MiB")
    parser.add_argument("--prepare-only", action="store_true", help="fill the cache and stop")
    parser.add_argument("--file", action="append", default=[], metavar="SOURCE=DEST",
                        help="a file or folder to copy into the guest")
    parser.add_argument("programs", nargs="*", help="guest test programs (GoogleTest)")
    args = parser.parse_args()

    began = time.monotonic()
    try:
        kernel = prepare_kernel_refreshing(cache_root())
    except (KitError, subprocess.SubprocessError, OSError) as error:
        log(f"the kit could not be prepared: {error}")
        return 1
    log(f"kernel and modules from {kernel} ({time.monotonic() - began:.1f} s)")
    if args.prepare_only:
        return 0
    if not shutil.which("qemu-system-x86_64"):
        log("qemu-system-x86_64 is missing: run scripts/bootstrap")
        return 1
    work = Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    initramfs = work / "initramfs.cpio"
    try:
        checks = build_initramfs(kernel, [os.path.abspath(p) for p in args.programs], args.init, initramfs,
                                 [f.split("=", 1) for f in args.file])
    except (subprocess.SubprocessError, OSError) as error:
        log(f"the initramfs could not be built: {error}")
        return 1
    log(f"initramfs {initramfs} ({initramfs.stat().st_size // 1024} KiB, {len(checks)} checks)")
    lines, timed_out, seconds, booted = run_guest(kernel, initramfs, args.bound, args.memory)
    results, finished = judge(lines, checks)
    boot = f"booted in {booted:.1f} s, " if booted is not None else "never booted, "
    print(f"\n{MARK} summary ({boot}{seconds:.1f} s in the guest, {time.monotonic() - began:.1f} s in all)")
    failed = 0
    for check, result in results.items():
        print(f"  {result:<12} {check}")
        failed += result != "PASS"
    if timed_out:
        log(f"the guest did not finish within {args.bound:.0f} s and was stopped")
    elif not finished:
        log("the guest ended before it had run every check")
    if not checks:
        log("no checks were found in the guest programs")
    return 1 if failed or timed_out or not finished or not checks else 0


if __name__ == "__main__":
    sys.exit(main())
