// auilib-gallery: shows every control of the widget library in one dialog.
//   auilib-gallery                        the gallery, modal, until closed
//   auilib-gallery --screenshots <folder> gallery-light.png and
//                                         gallery-dark.png written there
// On the offscreen platform it writes the pictures (into the current folder
// unless one is given) instead of waiting for a user.
#include "GalleryDialog.h"

#include "AUILibConfig.h"
#include "AgnosticUIException.h"
#include "DarkLook.h"
#include "WindowGuard.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdio>

namespace {

// The gallery's window is closed and let go by a guard: before the next look
// is set, and before the application object. The guard is taken while the
// window surely lives, since closing it (or a modal run) may already delete it.
bool SavePicture(const QString& path)
{
    GalleryDialog gallery;
    QWidget* window = gallery.GetWndPtr();
    const ClosingWindowGuard guard(window);
    gallery.DoModeless();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();   // layouts and style sheets settle
    const bool saved = window->grab().save(path);
    if (!saved)
        std::fprintf(stderr, "auilib-gallery: cannot write %s\n", qPrintable(path));
    return saved;
}

bool SaveLight(const QString& folder)
{
    LightLook look;
    return SavePicture(folder + QStringLiteral("/gallery-light.png"));
}

bool SaveDark(const QString& folder)
{
    DarkLook look;
    return SavePicture(folder + QStringLiteral("/gallery-dark.png"));
}

// The window outlives its dialog object until it is deleted; it goes here,
// before the application object, so that nothing of it is left at exit.
bool ShowModal()
{
    GalleryDialog gallery;
    const ClosingWindowGuard guard(gallery.GetWndPtr());
    return gallery.DoModal() >= 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    QString folder;
    bool screenshots = QApplication::platformName() == QLatin1String("offscreen");
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshots") && i + 1 < args.size()) {
            screenshots = true;
            folder = args[++i];
        } else {
            std::fprintf(stderr, "usage: auilib-gallery [--screenshots <folder>]\n");
            return 2;
        }
    }

    // The first configuration accessor also fills the control factory: the
    // working folder must be set before any form is loaded, or the form
    // comes up without controls.
    AUILib::SetWorkingDirPath((QApplication::applicationDirPath() + QLatin1Char('/')).toStdWString());

    try {
        if (screenshots) {
            if (folder.isEmpty())
                folder = QDir::currentPath();
            if (!QDir().mkpath(folder)) {
                std::fprintf(stderr, "auilib-gallery: cannot make %s\n", qPrintable(folder));
                return 1;
            }
            return SaveLight(folder) && SaveDark(folder) ? 0 : 1;
        }
        return ShowModal() ? 0 : 1;
    } catch (const AUILib::AgnosticUIException& e) {
        std::fprintf(stderr, "auilib-gallery: %s (%s)\n", e.what(), qPrintable(QString::fromStdWString(GalleryDialog::FormPath())));
        return 1;
    }
}
