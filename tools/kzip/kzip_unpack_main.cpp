// kzip-unpack: unpacks one package with the agent's own unpacker, exactly as
// the download window does (temporary files in the data root's
// "updater/uncompress/"). Used by the benchmark and handy by hand.
//
//   kzip-unpack <package.kzip> <output folder>
#include "CKW_Kzip.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QDir>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kzip-unpack <package.kzip> <output folder>\n");
        return 2;
    }
    QDir().mkpath(UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater/uncompress"));
    QString package = args.at(1);
    QString output = args.at(2);
    CKW_Kzip kzip;
    const int result = kzip.Unzip2(package, output);
    std::printf("Unzip2 result %d\n", result);
    return result == 1 ? 0 : 1;
}
