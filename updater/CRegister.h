#pragma once
// Registry-style access to the reader's settings (organisation "Velto Software",
// application "Velto.PDF.Reader"): a key path such as
// "HKEY_CURRENT_USER\Software\Velto Software\Velto PDF Reader\plugins\Updater"
// plus a value name. Backslashes become "/" (settings groups).
//
// The reader's machine-wide LocalMachine.plist chooses the layout: continuous
// (each value under its own name) or "Classic" (all values in one map stored
// under the top-level name "Classic").
#include <QSettings>
#include <QString>
#include <QVariant>

// The machine-wide flag file and value that choose the layout.
QString LocalMachinePlistPath();
// True for the continuous layout (also when the flag file is missing).
bool CheckIsContinue();
// Reads one value of the given (or, when both are empty, the reader's) settings.
// In the "Classic" layout without a "Classic" map, value is left as passed.
bool CheckSingleKeysPlist(const QString& name, QVariant& value, QVariant& defaultValue,
                          QString organisation, QString application);
// Writes one value and syncs. In the "Classic" layout a "Classic" entry that is
// not a map is never overwritten: the write fails and nothing is changed.
bool WriteSingleKeysPlist(const QString& name, const QVariant& value,
                          QString organisation, QString application);

class CRegister
{
public:
    CRegister() = default;
    virtual ~CRegister();

    static QString regGetString(QString key, QString name);
    static bool regSetString(QString key, QString name, QString value);
    static quint32 regGetDword(QString key, QString name);
    static bool regSetDword(QString key, QString name, quint32 value);
    // Reads the value named exactly as passed (no key joining, no "\" replacement)
    // from plistFile when that file exists, else from the given organisation's
    // and application's settings (the reader's when both are empty).
    static QVariant regGetVariant(const QString& name, const QVariant& defaultValue,
                                  const QString& plistFile, const QString& organisation,
                                  const QString& application);

    // The settings name of a key and value name, as used by the functions above.
    static QString settingsName(const QString& key, const QString& name);
};

// The reader's settings opened once for many reads in a row: each opening reads
// the settings files and the layout flag anew, which a long update list would
// otherwise pay once per module. Reads give what regGetString gives.
class CRegisterReader
{
public:
    CRegisterReader();
    QString getString(const QString& key, const QString& name) const;

private:
    QSettings m_settings;
    bool m_continuous;
    bool m_hasClassic;
    QVariantMap m_classic;
};
