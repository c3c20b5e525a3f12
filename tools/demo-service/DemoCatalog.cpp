#include "DemoCatalog.h"

#include "HttpTestServer.h"
#include "KzipWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QXmlStreamWriter>

namespace DemoCatalog {

QVector<Module> defaultModules(qint64 payloadBytes)
{
    QVector<Module> modules;
    modules.append({QStringLiteral("VeltoReaderUpdate"), QStringLiteral("Velto PDF Reader 12.2"),
                    QStringLiteral("12.2.0.0"), QStringLiteral("updater"),
                    QStringLiteral("The reader itself: faster start-up and sharper printing."), false,
                    payloadBytes});
    modules.append({QStringLiteral("StampPack"), QStringLiteral("Stamp Collection"), QStringLiteral("3.1.0.0"),
                    QStringLiteral("basic"), QStringLiteral("Forty business stamps for reviews and approvals."),
                    false, payloadBytes});
    modules.append({QStringLiteral("Velto Spell Check Language"), QStringLiteral("Spell Check Dictionaries"),
                    QStringLiteral("2.4.0.0"), QStringLiteral("basic"),
                    QStringLiteral("Dictionaries for the spell checker."), false, payloadBytes});
    modules.append({QStringLiteral("OCR_nl_nl"), QStringLiteral("OCR Dutch"), QStringLiteral("11.2.0.0"),
                    QStringLiteral("service"),
                    QStringLiteral("Recognises Dutch text in scanned pages."), false, payloadBytes});
    modules.append({QStringLiteral("FontPack"), QStringLiteral("Font Pack"), QStringLiteral("1.0.3.0"),
                    QStringLiteral("basic"), QStringLiteral("Fonts installed quietly in the background."), true,
                    payloadBytes / 4});
    return modules;
}

namespace {

QString fileSafe(const QString& name)
{
    QString safe = name;
    for (QChar& c : safe) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    }
    return safe;
}

std::string randomBytes(qint64 count, quint32 seed)
{
    QRandomGenerator generator(seed);
    std::string bytes(static_cast<size_t>(count), '\0');
    for (char& b : bytes)
        b = static_cast<char>(generator.generate() & 0xff);
    return bytes;
}

} // namespace

bool buildPackages(const QVector<Module>& modules, const QString& folder, QVector<Package>& out,
                   QString* error)
{
    out.clear();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create ") + folder;
        return false;
    }
    quint32 seed = 1;
    for (const Module& module : modules) {
        Package package;
        package.module = module;
        const QString base = fileSafe(module.name);
        package.installer = base + QStringLiteral("Installer.pkg");
        package.urlPath = "/packages/" + base.toUtf8() + ".kzip";
        package.file = folder + QLatin1Char('/') + base + QStringLiteral(".kzip");

        // Preset 0: the filler does not compress anyway, and building the
        // catalogue stays quick.
        kzip::Writer writer(kzip::LzmaOptions{0, 0, true});
        const QByteArray setup = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                "<setup>\n  <file name=\"%1\" parameter=\"\" iscommon=\"false\"/>\n"
                                                "</setup>\n")
                                     .arg(package.installer)
                                     .toUtf8();
        writer.addFile("Setup.xml", setup.toStdString());
        writer.addFile(package.installer.toStdString(),
                       QStringLiteral("installer of %1 %2\n").arg(module.name, module.version).toStdString());
        if (module.payloadBytes > 0)
            writer.addFile("payload.bin", randomBytes(module.payloadBytes, seed++));
        std::string message;
        if (!writer.writeTo(package.file.toStdString(), &message)) {
            if (error)
                *error = QString::fromStdString(message);
            return false;
        }
        QFile file(package.file);
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("cannot read back ") + package.file;
            return false;
        }
        const QByteArray bytes = file.readAll();
        package.size = bytes.size();
        package.md5Hex = QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
        out.append(package);
    }
    return true;
}

QByteArray replyXml(const QVector<Package>& packages, const QString& baseUrl, const QString& addon)
{
    const bool wholeList = addon == QLatin1String("Update List") || addon == QLatin1String("Auto Updater");
    QStringList wanted;
    for (const QString& part : addon.split(QLatin1Char(','), Qt::SkipEmptyParts))
        wanted << part.trimmed();

    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("addons"));
    writer.writeAttribute(QStringLiteral("rollback"), QStringLiteral("false"));
    for (const Package& package : packages) {
        const Module& m = package.module;
        if (!wholeList && !wanted.contains(m.name))
            continue;
        writer.writeEmptyElement(QStringLiteral("addon"));
        writer.writeAttribute(QStringLiteral("name"), m.name);
        writer.writeAttribute(QStringLiteral("title"), m.title);
        writer.writeAttribute(QStringLiteral("version"), m.version);
        writer.writeAttribute(QStringLiteral("size"), QString::number(package.size));
        writer.writeAttribute(QStringLiteral("description"), m.description);
        writer.writeAttribute(QStringLiteral("url"), baseUrl + QString::fromUtf8(package.urlPath));
        writer.writeAttribute(QStringLiteral("result"), QStringLiteral("true"));
        writer.writeAttribute(QStringLiteral("module_type"), m.moduleType);
        writer.writeAttribute(QStringLiteral("update_mode"), QStringLiteral("1"));
        writer.writeAttribute(QStringLiteral("releaseDate"), QStringLiteral("2026-12-01"));
        writer.writeAttribute(QStringLiteral("md5"), QString::fromLatin1(package.md5Hex));
        if (m.silent)
            writer.writeAttribute(QStringLiteral("SilentInstall"), QStringLiteral("true"));
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return xml;
}

void mount(HttpTestServer& server, const QVector<Package>& packages, qint64 bytesPerTick, int tickMs)
{
    const QString base = server.baseUrl();
    server.setHandler(queryPath(), [packages, base](const HttpTestServer::Request& request) {
        const QString addon =
            QUrlQuery(QString::fromUtf8(request.query)).queryItemValue(QStringLiteral("addon"), QUrl::FullyDecoded);
        HttpTestServer::Reply reply = HttpTestServer::Reply::ok(replyXml(packages, base, addon));
        reply.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/xml; charset=utf-8")));
        return reply;
    });
    // The component prompt's link: the redirect service sends it on to the
    // add-ons page, which lists the packages for a later download.
    server.setRoute("/go.php", HttpTestServer::Reply::redirect("/products/addons.php"));
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Add-ons</title></head><body>"
                      "<h1>Add-ons</h1><ul>";
    for (const Package& package : packages) {
        page += "<li><a href=\"" + package.urlPath + "\">" + package.module.title.toHtmlEscaped().toUtf8() + "</a> "
            + package.module.version.toUtf8() + "</li>";
    }
    page += "</ul></body></html>";
    HttpTestServer::Reply addonsPage = HttpTestServer::Reply::ok(page);
    addonsPage.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")));
    server.setRoute("/products/addons.php", addonsPage);

    for (const Package& package : packages) {
        HttpTestServer::Reply reply;
        reply.bodyFile = package.file;
        reply.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/octet-stream")));
        reply.throttleBytes = bytesPerTick;
        reply.throttleIntervalMs = tickMs;
        server.setRoute(package.urlPath, reply);
    }
}

} // namespace DemoCatalog
