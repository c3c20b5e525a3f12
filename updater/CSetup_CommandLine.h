#pragma once
// The parsed command line of one run. Filled once by ProcessCmdLine from the
// command text (all arguments joined with single blanks), then only read.
//
// Words are split at blanks and tabs outside double quotes. A word starting
// with "-" or "/" that names a keyword sets a switch or marks a value field
// as pending; the next plain word fills the first pending field. A word that
// fills nothing ends the parsing.
#include <QRect>
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

class CSetup_CommandLine
{
public:
    CSetup_CommandLine();

    // Splits the text into words and applies them in order; false when a word
    // was refused (the words after it are not looked at).
    bool ProcessCmdLine(QString text);
    // Applies one word.
    bool ProcessCmdWord(QString& word);
    // Fills the Kzip path list from a "KzipPath" value: paths joined by the
    // separator, optionally followed by ";" and the roll-back parts.
    void Split(QString value, QString separator);

    bool IsUpdater() const { return updater; }
    bool IsInsatll() const { return install; }
    bool IsInsForceUpdate() const { return insForceUpdate; }
    bool IsRun() const { return run; }
    std::string GetSessionID() const { return SessionID; }
    std::string GetReaderPath() const { return readerpath; }
    std::string GetReaderPathFromcmd() const { return readerpath; }
    std::string GetUpdaterType() const { return type; }
    std::string GetReaderVersion() const { return version; }
    std::string GetReaderLang() const { return readerlang; }
    std::string GetAutoUpdateMode() const { return UpdateMode; }
    std::string GetPackageType() const { return PackageType; }
    qint64 GetReaderFrameWnd() const { return m_hReaderWnd; }
    qint64 GetUserData() const { return m_userData; }
    QString getfatlfile() const { return fatlfile; }
    QString geteutlfile() const { return eutlfile; }
    QString getfatlcerturl() const { return certfatlurl; }
    QString geteutlcerturl() const { return certeutlurl; }
    QString getdowntype() const { return downtype; }
    std::vector<std::string> GetVecKzipPath() const { return m_vecKzipPath; }
    std::string GetInternalUpdateURL() const { return InternalUpdateURL; }
    std::string GetUserEmail() const { return UserEmail; }
    std::string GetEdition() const { return Edition; }
    QRect GetMainFrameRect() const { return QRect(); }

    // Set when the "KzipPath" value carried roll-back parts. The controller
    // does not exist yet while the command line is parsed, so it takes this
    // mark over when it is created.
    bool IsRollBack() const { return m_bRollBack; }

    // Values that are parsed (and so consumed) but read by no run; exposed
    // for inspection only.
    bool IsInternalService() const { return bInternalService; }
    std::string GetRegPath() const { return regpath; }
    std::string GetSpecialName() const { return specialName; }
    std::string GetRollBackURL() const { return RollBackURL; }
    std::string GetKzipFourthPart() const { return m_kzipFourth; }

private:
    bool bInternalService;
    bool updater;
    bool install;
    bool insForceUpdate;
    std::string SessionID;

    // Pending flags: the next value word goes to the first field whose flag is set.
    bool m_bHwnd;
    bool m_bType;
    bool m_bReaderPath;
    bool m_bRegPath;
    bool m_bVersion;
    bool m_bReaderLang;
    bool m_bSpecialName;
    bool m_bUpdateMode;
    bool run;
    bool m_bKzipPath;
    bool m_bInternalUpdateURL;
    bool m_bRollBackURL;
    bool m_bUserEmail;
    bool m_bSessionID;
    bool m_bPackageType;
    bool m_bEdition;

    std::string readerpath;
    std::string type;
    std::string regpath;
    std::string version;
    std::string readerlang;
    std::string specialName;
    std::string UpdateMode;
    std::string PackageType;
    qint64 m_hReaderWnd;
    qint64 m_userData;
    QString fatlfile;
    QString eutlfile;
    QString certfatlurl;
    QString certeutlurl;
    QString downtype;
    bool m_bFatlFile;
    bool m_bEutlFile;
    bool m_bCertFatlUrl;
    bool m_bCertEutlUrl;
    bool m_bDownType;
    bool m_bUserHanderData;

    std::vector<std::string> m_vecKzipPath;
    std::string InternalUpdateURL;
    std::string RollBackURL;
    std::string UserEmail;
    std::string m_kzipFourth;
    std::string Edition;

    bool m_bRollBack;
};
