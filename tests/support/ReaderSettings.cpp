#include "ReaderSettings.h"
#include "CRegister.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

const QString kLastDayName =
    QStringLiteral("HKEY_CURRENT_USER/Software/Velto Software/Velto PDF Reader/plugins/Updater/LastDay");

void setReaderLayout(bool continuous)
{
    QDir().mkpath(QFileInfo(LocalMachinePlistPath()).absolutePath());
    QSettings machine(LocalMachinePlistPath(), QSettings::NativeFormat);
    machine.setValue(QStringLiteral("HKEY_LOCAL_MACHINE/SOFTWARE/Velto Software/Velto PDF Reader/bContinue"),
                     continuous ? QStringLiteral("1") : QStringLiteral("0"));
    machine.sync();
}

std::unique_ptr<QSettings> readerSettings()
{
    return std::make_unique<QSettings>(QStringLiteral("Velto Software"), QStringLiteral("Velto.PDF.Reader"));
}
