// fontconfig keeps a small internal allocation of its font lists until the process ends; the leak
// checker is told about it here so that leaks of our own still fail the tests.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
