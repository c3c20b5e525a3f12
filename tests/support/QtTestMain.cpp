// Entry point of the Qt-based test executables: one QApplication for all tests,
// offscreen unless the caller chose a platform, UTF-8 characters and C numbers.
#include <gtest/gtest.h>
#include <QApplication>
#include <clocale>

#if defined(__SANITIZE_ADDRESS__)
#if defined(TEST_MAIN_LEAK_SUPPRESSIONS)
// The widget library's tests keep LeakSanitizer on: a control or dialog that
// outlives its test is a fault of the library. The suppressions name only
// one-time allocations of third-party libraries (see the file); ctest sets the
// same per test, this makes a run from a debugger or a shell behave alike.
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" TEST_MAIN_LEAK_SUPPRESSIONS;
}
// Qt is built without frame pointers: the fast unwinder would stop in its
// first frame, short of the frames the suppressions and the reports name.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}
#else
// The agent's tests: Qt and fontconfig keep process-lifetime caches that
// LeakSanitizer reports as leaks, and the agent keeps its controller for the
// whole process by design. The core library's own tests keep leak checking on.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=0";
}
#endif
#endif

int main(int argc, char** argv)
{
    // The agent's images live in a static library: pull its resources in.
    Q_INIT_RESOURCE(res);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Child processes (the agent run as a subprocess) inherit the same locale,
    // and in a sanitizer build the same leak setting.
    qputenv("LC_ALL", "C.UTF-8");
#if defined(__SANITIZE_ADDRESS__) && !defined(TEST_MAIN_LEAK_SUPPRESSIONS)
    qputenv("ASAN_OPTIONS", "detect_leaks=0");
#endif
    std::setlocale(LC_ALL, "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return RUN_ALL_TESTS();
}
