#pragma once
// A per-test world of its own: temporary data, config, TMPDIR (local socket
// names) and system root, set in this process's environment for the lifetime
// of the object and restored afterwards. Child processes started with
// processEnvironment() see the same world.
#include <QByteArray>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class IsolatedEnv
{
public:
    IsolatedEnv();
    ~IsolatedEnv();
    IsolatedEnv(const IsolatedEnv&) = delete;
    IsolatedEnv& operator=(const IsolatedEnv&) = delete;

    QString root() const { return m_dir.path(); }
    QString dataHome() const;     // XDG_DATA_HOME
    QString configHome() const;   // XDG_CONFIG_HOME
    QString tmpDir() const;       // TMPDIR
    QString systemRoot() const;   // UPDATER_SYSTEM_ROOT
    QString homeDir() const;      // HOME

    // Sets (or, with an empty value, unsets) a variable for this environment's lifetime.
    void set(const char* name, const QByteArray& value);

    // The agent's data root for the continuous layout (ends with "/").
    QString agentDataRoot() const;

    QProcessEnvironment processEnvironment() const;

private:
    static void useSettingsFolder(const QString& folder);

    QTemporaryDir m_dir;
    QMap<QByteArray, QByteArray> m_saved;   // previous values, restored on destruction
    QMap<QByteArray, bool> m_wasSet;
};
