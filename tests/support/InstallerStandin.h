#pragma once
// Places the stand-in installer (tools/installer-standin) at the system
// installer's and "open"'s paths under an IsolatedEnv's system root, with a
// rules file that picks each hand-off's outcome, and an empty install
// history. Reads back what the stand-ins logged.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class IsolatedEnv;

class InstallerStandin
{
public:
    // Copies the stand-in into place (a copy, not a link: it keeps its log
    // and rules beside the path it was started from).
    explicit InstallerStandin(const IsolatedEnv& env);

    // Both copies are in place and executable.
    bool isReady() const { return m_ready; }
    static QString executable();   // the built stand-in

    QString installerPath() const;   // <root>/System/Library/CoreServices/Installer.app/Contents/MacOS/Installer
    QString openPath() const;        // <root>/usr/bin/open
    QString historyPath() const;     // <root>/Library/Receipts/InstallHistory.plist

    // The first rule whose text occurs in the installer file's path decides:
    // its exit code, whether a history record is written, and a delay.
    void addRule(const QString& pathText, int exitCode, bool writeRecord, int delayMs = 0);
    void clearRules();

    // An install history with no records (what the constructor writes).
    void writeEmptyHistory();
    // An install history holding one record of an earlier install.
    void writeHistoryWithRecord(const QString& displayName, const QDateTime& when);
    void removeHistory();
    // The display names of the history's records, oldest first.
    QStringList historyNames() const;

    struct Handoff
    {
        QDateTime time;
        QString program;     // "Installer" or "open"
        QStringList args;
    };
    // Every hand-off of both stand-ins, in time order.
    QList<Handoff> handoffs() const;
    // Hand-offs of installer files (calls that bring the installer to the front left out).
    QList<Handoff> installs() const;
    // Runs the event loop until `count` installer hand-offs are logged.
    bool waitForInstalls(int count, int timeoutMs = 10000) const;

private:
    QString m_root;
    bool m_ready = false;
};
