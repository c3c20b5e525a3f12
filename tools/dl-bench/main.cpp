// dl-bench URL FILE: one waiting download with QHttpDownLoadS, then one line
//   outcome=<finish|error> seconds=<wall time> peak_rss_kib=<peak resident set>
#include "QHttpDownLoadS.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <clocale>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    if (argc != 3) {
        std::fprintf(stderr, "usage: dl-bench URL FILE\n");
        return 2;
    }
    QHttpDownLoadS downloader;
    downloader.m_bFollowRedirects = true;
    if (!downloader.setUrlAndFilePath(QUrl(QString::fromUtf8(argv[1])), QString::fromUtf8(argv[2]))) {
        std::fprintf(stderr, "dl-bench: unusable URL or file\n");
        return 2;
    }
    bool finished = false;
    QObject::connect(&downloader, &QHttpDownLoadS::oneDownLoadFinish, [&finished] { finished = true; });
    QElapsedTimer clock;
    clock.start();
    if (!downloader.startDownLoads(true)) {
        std::fprintf(stderr, "dl-bench: cannot start\n");
        return 1;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("outcome=%s seconds=%.3f peak_rss_kib=%ld\n", finished ? "finish" : "error", seconds,
                usage.ru_maxrss);
    return finished ? 0 : 1;
}
