#include "InstallerStandin.h"

#include "IsolatedEnv.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTextStream>
#include <algorithm>

namespace {

const char* const kInstallerRel = "/System/Library/CoreServices/Installer.app/Contents/MacOS/Installer";
const char* const kOpenRel = "/usr/bin/open";
const char* const kHistoryRel = "/Library/Receipts/InstallHistory.plist";

bool placeCopy(const QString& target)
{
    QDir().mkpath(QFileInfo(target).path());
    QFile::remove(target);
    if (!QFile::copy(InstallerStandin::executable(), target))
        return false;
    return QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                             | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
}

bool writeFile(const QString& path, const QByteArray& bytes, QIODevice::OpenMode extra = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | extra) && file.write(bytes) == bytes.size();
}

} // namespace

QString InstallerStandin::executable()
{
    return QStringLiteral(UPDATER_BINARY_DIR "/tools/installer-standin/installer-standin");
}

InstallerStandin::InstallerStandin(const IsolatedEnv& env) : m_root(env.systemRoot())
{
    m_ready = placeCopy(installerPath()) && placeCopy(openPath());
    writeEmptyHistory();
}

QString InstallerStandin::installerPath() const { return m_root + QLatin1String(kInstallerRel); }
QString InstallerStandin::openPath() const { return m_root + QLatin1String(kOpenRel); }
QString InstallerStandin::historyPath() const { return m_root + QLatin1String(kHistoryRel); }

void InstallerStandin::addRule(const QString& pathText, int exitCode, bool writeRecord, int delayMs)
{
    const QByteArray line = QStringLiteral("%1\t%2\t%3\t%4\n")
                                .arg(pathText)
                                .arg(exitCode)
                                .arg(writeRecord ? QStringLiteral("record") : QStringLiteral("none"))
                                .arg(delayMs)
                                .toUtf8();
    for (const QString& exe : {installerPath(), openPath()})
        writeFile(QFileInfo(exe).path() + QStringLiteral("/standin.rules"), line, QIODevice::Append);
}

void InstallerStandin::clearRules()
{
    for (const QString& exe : {installerPath(), openPath()})
        QFile::remove(QFileInfo(exe).path() + QStringLiteral("/standin.rules"));
}

void InstallerStandin::writeEmptyHistory()
{
    writeFile(historyPath(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<plist version=\"1.0\">\n<array/>\n</plist>\n");
}

void InstallerStandin::writeHistoryWithRecord(const QString& displayName, const QDateTime& when)
{
    writeFile(historyPath(), QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                            "<plist version=\"1.0\">\n<array>\n<dict>\n"
                                            "<key>date</key><date>%1</date>\n"
                                            "<key>displayName</key><string>%2</string>\n"
                                            "</dict>\n</array>\n</plist>\n")
                                 .arg(when.toUTC().toString(Qt::ISODate), displayName)
                                 .toUtf8());
}

void InstallerStandin::removeHistory()
{
    QFile::remove(historyPath());
}

QStringList InstallerStandin::historyNames() const
{
    QFile file(historyPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    const QString text = QString::fromUtf8(file.readAll());
    int at = 0;
    while ((at = text.indexOf(QLatin1String("<string>"), at)) >= 0) {
        at += 8;
        names << text.mid(at, text.indexOf(QLatin1String("</string>"), at) - at);
    }
    return names;
}

QList<InstallerStandin::Handoff> InstallerStandin::handoffs() const
{
    QList<Handoff> all;
    for (const QString& exe : {installerPath(), openPath()}) {
        QFile log(QFileInfo(exe).path() + QStringLiteral("/handoffs.log"));
        if (!log.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& raw : log.readAll().split('\n')) {
            if (raw.isEmpty())
                continue;
            QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
            Handoff h;
            h.time = QDateTime::fromString(fields.takeFirst(), Qt::ISODateWithMs);
            h.program = fields.isEmpty() ? QString() : fields.takeFirst();
            h.args = fields;
            all << h;
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const Handoff& a, const Handoff& b) { return a.time < b.time; });
    return all;
}

QList<InstallerStandin::Handoff> InstallerStandin::installs() const
{
    QList<Handoff> out;
    for (const Handoff& h : handoffs()) {
        if (!h.args.isEmpty() && !h.args.last().endsWith(QLatin1String("Installer.app")))
            out << h;
    }
    return out;
}

bool InstallerStandin::waitForInstalls(int count, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return installs().size() >= count; }, timeoutMs);
}
