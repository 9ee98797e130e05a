// What the sanitizers are told about libraries below us, so that findings of our own still fail.
//
// - fontconfig keeps a small internal allocation of its font lists until the process ends.
// - Pango initialises fontconfig on a thread of its own; fontconfig guards its tables with atomics the
//   thread checker does not see.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" const char* __tsan_default_suppressions() {
    return "race:libfontconfig.so\n";
}
