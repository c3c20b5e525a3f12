// Entry point of the Qt-based test executables: one QApplication for all tests,
// offscreen unless the caller chose a platform.
#include <gtest/gtest.h>
#include <QApplication>
#include <clocale>

int main(int argc, char** argv)
{
    // The agent's images live in a static library: pull its resources in.
    Q_INIT_RESOURCE(res);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return RUN_ALL_TESTS();
}
