#!/bin/busybox sh
# The guest's init: mounts the kernel's file systems, loads the HID and input modules, runs every
# check of the guest programs in a process of its own with a time bound, and powers off. The host
# reads the lines that begin with @@KWVM.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
# The initramfs root is writable already. No tmpfs over /tmp: the build's own libraries are
# copied in under their build paths, which may lie below /tmp.
# libudev takes the udev service for present when its control socket exists; the checks that need
# udev events run their own relay of the kernel's events.
: > /run/udev/control

for module in $(cat /lib/kw-modules/order); do
    insmod "/lib/kw-modules/$module.ko" || echo "@@KWVM MODULE-FAILED $module"
done
echo "@@KWVM BOOTED $(uname -r)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:quarantine_size_mb=32
export UBSAN_OPTIONS=print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
export TMPDIR=/tmp
while read -r program check; do
    echo "@@KWVM BEGIN $check"
    timeout -s KILL 60 "/guest/$program" --gtest_filter="$check" --gtest_color=no </dev/null
    echo "@@KWVM END $check $?"
done < /guest/checks
echo "@@KWVM DONE"
poweroff -f
