// UpdaterApp: a thin entry point over the agent library.
#include "CUP_Log.h"

#include <QApplication>
#include <clocale>

int main(int argc, char* argv[])
{
    CUP_Log::CreateLog();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return 0;
}
