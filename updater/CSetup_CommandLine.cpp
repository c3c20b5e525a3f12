#include "CSetup_CommandLine.h"

#include <QStringList>

CSetup_CommandLine::CSetup_CommandLine()
    : bInternalService(false), updater(false), install(false), insForceUpdate(false),
      m_bHwnd(false), m_bType(false), m_bReaderPath(false), m_bRegPath(false), m_bVersion(false),
      m_bReaderLang(false), m_bSpecialName(false), m_bUpdateMode(false), run(false),
      m_bKzipPath(false), m_bInternalUpdateURL(false), m_bRollBackURL(false), m_bUserEmail(false),
      m_bSessionID(false), m_bPackageType(false), m_bEdition(false),
      UpdateMode("1"), m_hReaderWnd(0), m_userData(0),
      m_bFatlFile(false), m_bEutlFile(false), m_bCertFatlUrl(false), m_bCertEutlUrl(false),
      m_bDownType(false), m_bUserHanderData(false), m_bRollBack(false)
{
}

bool CSetup_CommandLine::ProcessCmdLine(QString text)
{
    bool inQuote = false;
    QString word;
    for (const QChar c : text) {
        if (inQuote) {
            if (c == QLatin1Char('"')) {
                inQuote = false;
                // A quoted run is a word even when it is empty.
                if (!ProcessCmdWord(word))
                    return false;
                word.clear();
            } else {
                word.append(c);
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (!word.isEmpty()) {
                if (!ProcessCmdWord(word))
                    return false;
                word.clear();
            }
        } else if (c == QLatin1Char('"')) {
            // Characters glued to the front of a quoted run are not part of it.
            inQuote = true;
            word.clear();
        } else {
            word.append(c);
        }
    }
    return ProcessCmdWord(word);
}

bool CSetup_CommandLine::ProcessCmdWord(QString& word)
{
    if (word.isEmpty())
        return true;

    if (word.at(0) == QLatin1Char('-') || word.at(0) == QLatin1Char('/')) {
        if (word.size() < 2)
            return false;
        const QString name = word.mid(1);
        if (name == QLatin1String("updater")) {
            updater = true;
            install = false;
            return true;
        }
        if (name == QLatin1String("run")) { run = true; return true; }
        if (name == QLatin1String("insForceUpdate")) { insForceUpdate = true; return true; }
        if (name == QLatin1String("install")) {
            if (!updater)
                install = true;
            return true;
        }
        if (name == QLatin1String("hwnd")) { m_bHwnd = true; return true; }
        if (name == QLatin1String("readerpath")) { m_bReaderPath = true; return true; }
        if (name == QLatin1String("regpath")) { m_bRegPath = true; return true; }
        if (name == QLatin1String("version")) { m_bVersion = true; return true; }
        if (name == QLatin1String("readerlang")) { m_bReaderLang = true; return true; }
        if (name == QLatin1String("specialName")) { m_bSpecialName = true; return true; }
        if (name == QLatin1String("UpdateMode")) { m_bUpdateMode = true; return true; }
        if (name == QLatin1String("bInternalService")) { bInternalService = true; return true; }
        if (name == QLatin1String("InternalUpdateURL")) { m_bInternalUpdateURL = true; return true; }
        if (name == QLatin1String("RollBackURL")) { m_bRollBackURL = true; return true; }
        if (name == QLatin1String("UserEmail")) { m_bUserEmail = true; return true; }
        if (name == QLatin1String("SessionID")) { m_bSessionID = true; return true; }
        if (name == QLatin1String("KzipPath")) { m_bKzipPath = true; return true; }
        if (name == QLatin1String("PackageType")) { m_bPackageType = true; return true; }
        if (name == QLatin1String("Edition")) { m_bEdition = true; return true; }
        if (name == QLatin1String("userhanderdata")) { m_bUserHanderData = true; return true; }
        if (name == QLatin1String("certeutlurl")) { m_bCertEutlUrl = true; return true; }
        if (name == QLatin1String("fatlfile")) { m_bFatlFile = true; return true; }
        if (name == QLatin1String("eutlfile")) { m_bEutlFile = true; return true; }
        if (name == QLatin1String("certfatlurl")) { m_bCertFatlUrl = true; return true; }
        if (name == QLatin1String("downtype")) { m_bDownType = true; return true; }
        // "type" only belongs to an updater run; before "updater" it is a plain word.
        if (updater && name == QLatin1String("type")) { m_bType = true; return true; }
    }

    // A value word: it fills the first pending field.
    const std::string value = word.toStdString();
    if (m_bHwnd) { m_bHwnd = false; return true; }   // the window handle is not used
    if (m_bType && updater) { m_bType = false; type = value; return true; }
    if (m_bReaderPath) { m_bReaderPath = false; readerpath = value; return true; }
    if (m_bRegPath) { m_bRegPath = false; regpath = value; return true; }
    if (m_bVersion) { m_bVersion = false; version = value; return true; }
    if (m_bReaderLang) { m_bReaderLang = false; readerlang = value; return true; }
    if (m_bSpecialName) { m_bSpecialName = false; specialName = value; return true; }
    if (m_bKzipPath) { m_bKzipPath = false; Split(word, QStringLiteral("|")); return true; }
    if (m_bInternalUpdateURL) { m_bInternalUpdateURL = false; InternalUpdateURL = value; return true; }
    if (m_bRollBackURL) { m_bRollBackURL = false; RollBackURL = value; return true; }
    if (m_bUserEmail) { m_bUserEmail = false; UserEmail = value; return true; }
    if (m_bSessionID) { m_bSessionID = false; SessionID = value; return true; }
    if (m_bUserHanderData) { m_bUserHanderData = false; return true; }   // not used
    if (m_bCertEutlUrl) { m_bCertEutlUrl = false; certeutlurl = word; return true; }
    if (m_bFatlFile) { m_bFatlFile = false; fatlfile = word; return true; }
    if (m_bEutlFile) { m_bEutlFile = false; eutlfile = word; return true; }
    if (m_bCertFatlUrl) { m_bCertFatlUrl = false; certfatlurl = word; return true; }
    if (m_bDownType) { m_bDownType = false; downtype = word; return true; }
    if (m_bPackageType) { m_bPackageType = false; PackageType = value; return true; }
    if (m_bUpdateMode) {
        m_bUpdateMode = false;
        if (value == "0" || value == "1" || value == "2")
            UpdateMode = value;
        return true;
    }
    if (m_bEdition) { m_bEdition = false; Edition = value; return true; }
    return false;
}

void CSetup_CommandLine::Split(QString value, QString separator)
{
    QString paths = value;
    const int firstSemicolon = value.indexOf(QLatin1Char(';'));
    if (firstSemicolon >= 0) {
        paths = value.left(firstSemicolon);
        const QString rest = value.mid(firstSemicolon + 1);
        if (!rest.isEmpty())
            m_bRollBack = true;
        const int second = rest.indexOf(QLatin1Char(';'));
        if (second >= 0) {
            RollBackURL = rest.left(second).toStdString();
            const QString tail = rest.mid(second + 1);
            const int third = tail.indexOf(QLatin1Char(';'));
            if (third >= 0) {
                UserEmail = tail.left(third).toStdString();
                m_kzipFourth = tail.mid(third + 1).toStdString();
            }
        }
    }

    m_vecKzipPath.clear();
    const QStringList pieces = paths.split(separator, Qt::SkipEmptyParts);
    for (const QString& piece : pieces)
        m_vecKzipPath.push_back(piece.toStdString());
}
