// A stand-in for the macOS installer ("Installer.app/Contents/MacOS/Installer")
// and for "/usr/bin/open", placed at those paths under UPDATER_SYSTEM_ROOT.
//
// Every call appends one line to "handoffs.log" beside the executable:
//   <ISO time>\t<name it was started as>\t<argument>\t...
// A hand-off of an installer file then appends a record to the install
// history "<system root>/Library/Receipts/InstallHistory.plist" whose
// "string" display name is the installer file's base name, and exits.
// Bringing the installer to the front ("open .../Installer.app") is only logged.
//
// The outcome is chosen per installer file, so every branch of the agent's
// install chain can be produced on purpose. "standin.rules" beside the
// executable holds lines "<text>\t<exit code>\t<record|none>[\t<delay ms>]";
// the first line whose text occurs in the installer file's path applies.
// Without a matching line: exit 0, record written, no delay.
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTextStream>
#include <QThread>
#include <clocale>

namespace {

struct Outcome {
    int exitCode = 0;
    bool writeRecord = true;
    int delayMs = 0;
};

QString hereDir()
{
    return QCoreApplication::applicationDirPath();
}

Outcome outcomeFor(const QString& path)
{
    Outcome outcome;
    QFile rules(hereDir() + QStringLiteral("/standin.rules"));
    if (!rules.open(QIODevice::ReadOnly | QIODevice::Text))
        return outcome;
    QTextStream in(&rules);
    while (!in.atEnd()) {
        const QStringList parts = in.readLine().split(QLatin1Char('\t'));
        if (parts.size() < 3 || parts[0].isEmpty() || !path.contains(parts[0]))
            continue;
        outcome.exitCode = parts[1].toInt();
        outcome.writeRecord = parts[2] != QLatin1String("none");
        outcome.delayMs = parts.size() > 3 ? parts[3].toInt() : 0;
        break;
    }
    return outcome;
}

void logHandoff(const QStringList& arguments)
{
    QLockFile lock(hereDir() + QStringLiteral("/handoffs.log.lock"));
    lock.lock();
    QFile log(hereDir() + QStringLiteral("/handoffs.log"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QStringList fields{QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)};
    fields << arguments;
    log.write((fields.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
}

QString historyPath()
{
    QString root = qEnvironmentVariable("UPDATER_SYSTEM_ROOT");
    return root + QStringLiteral("/Library/Receipts/InstallHistory.plist");
}

bool appendRecord(const QString& installerPath)
{
    const QString path = historyPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.lock();

    QDomDocument doc;
    QFile in(path);
    if (!in.exists() || !in.open(QIODevice::ReadOnly) || !doc.setContent(&in)) {
        doc = QDomDocument();
        doc.appendChild(doc.createProcessingInstruction(
            QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        QDomElement plist = doc.createElement(QStringLiteral("plist"));
        plist.setAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
        plist.appendChild(doc.createElement(QStringLiteral("array")));
        doc.appendChild(plist);
    }
    in.close();
    QDomElement array = doc.documentElement().firstChildElement(QStringLiteral("array"));
    if (array.isNull())
        return false;

    auto add = [&doc](QDomElement& parent, const QString& tag, const QString& text) {
        QDomElement e = doc.createElement(tag);
        e.appendChild(doc.createTextNode(text));
        parent.appendChild(e);
    };
    QDomElement record = doc.createElement(QStringLiteral("dict"));
    add(record, QStringLiteral("key"), QStringLiteral("date"));
    add(record, QStringLiteral("date"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    add(record, QStringLiteral("key"), QStringLiteral("displayName"));
    add(record, QStringLiteral("string"), QFileInfo(installerPath).completeBaseName());
    array.appendChild(record);

    QFile out(path + QStringLiteral(".new"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(doc.toByteArray(2)) < 0)
        return false;
    out.close();
    QFile::remove(path);
    return QFile::rename(out.fileName(), path);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QStringList arguments = app.arguments();
    arguments[0] = QFileInfo(arguments[0]).fileName();
    logHandoff(arguments);

    if (arguments.size() < 2)
        return 0;
    const QString target = arguments.last();
    if (target.endsWith(QLatin1String("Installer.app")) || target.endsWith(QLatin1String("Installer.app/")))
        return 0;   // only brings the installer to the front

    const Outcome outcome = outcomeFor(target);
    if (outcome.delayMs > 0)
        QThread::msleep(static_cast<unsigned long>(outcome.delayMs));
    if (outcome.writeRecord && !appendRecord(target))
        return 3;
    return outcome.exitCode;
}
