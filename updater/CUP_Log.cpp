#include "CUP_Log.h"
#include "NoFollowFile.h"
#include "UpdaterApp.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSettings>

QFile* CUP_Log::m_pFile = nullptr;

namespace {

bool debugModeOn()
{
    // A fresh settings object each time, so switching the setting on while the
    // agent runs takes effect with the next line.
    QSettings settings(QStringLiteral("Velto Software"), QStringLiteral("Velto.PDF.Reader"));
    return settings.value(QStringLiteral("Preferences/General/bDebugMode"), 0).toInt() == 1;
}

} // namespace

void CUP_Log::CreateLog()
{
    const QString folder = UpdaterApp::GetAppDatePath() + QStringLiteral("Log") + QStringLiteral("/UpdaterApp");
    qDebug() << "qsAppDataPath:" << folder;
    QDir().mkpath(folder);
    if (!QDir(folder).exists())
        return;
    const QString path = folder + QStringLiteral("/") + QStringLiteral("Update.log");
    qDebug() << "update.log: " << path;
    delete m_pFile;
    m_pFile = new QFile(path);
}

void CUP_Log::PrintLog(QString message)
{
    if (!debugModeOn() || !m_pFile)
        return;
    // Never through a link planted at the log's name, dangling or not, and
    // never into a file that has another name too (a hard link planted
    // there): that line is dropped instead. The file is opened from a
    // descriptor, which makes Qt forget its name.
    const QString path = m_pFile->fileName();
    if (!m_pFile->isOpen() && !Platform::openNoFollow(*m_pFile, path, QIODevice::ReadWrite | QIODevice::Append)) {
        qDebug() << "[CUP_Log::PrintLog] open file error:" << m_pFile->errorString();
        return;
    }
    const QString line = QStringLiteral("[CUP_Log][%1]%2\n")
                             .arg(QDateTime::currentDateTime().toString(Qt::TextDate), message);
    m_pFile->write(line.toUtf8());
    m_pFile->flush();
    m_pFile->close();
    m_pFile->setFileName(path);
}
