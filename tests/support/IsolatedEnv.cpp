#include "IsolatedEnv.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

IsolatedEnv::IsolatedEnv()
{
    QStandardPaths::setTestModeEnabled(false);
    for (const char* sub : {"data", "config", "tmp", "sysroot", "home"})
        QDir().mkpath(m_dir.path() + QLatin1Char('/') + QLatin1String(sub));
    set("XDG_DATA_HOME", dataHome().toLocal8Bit());
    set("XDG_CONFIG_HOME", configHome().toLocal8Bit());
    set("TMPDIR", tmpDir().toLocal8Bit());
    set("UPDATER_SYSTEM_ROOT", systemRoot().toLocal8Bit());
    set("HOME", homeDir().toLocal8Bit());
    set("UPDATER_SERVICE_BASE", QByteArray());
    set("UPDATER_TIME_SCALE", QByteArray());
    // QSettings resolves the user folder once per process and caches it, so
    // the environment variable alone would not move it.
    useSettingsFolder(configHome());
}

IsolatedEnv::~IsolatedEnv()
{
    for (auto it = m_wasSet.constBegin(); it != m_wasSet.constEnd(); ++it) {
        if (it.value())
            qputenv(it.key().constData(), m_saved.value(it.key()));
        else
            qunsetenv(it.key().constData());
    }
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    useSettingsFolder(config.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : config);
}

void IsolatedEnv::useSettingsFolder(const QString& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

QString IsolatedEnv::dataHome() const { return m_dir.path() + QStringLiteral("/data"); }
QString IsolatedEnv::configHome() const { return m_dir.path() + QStringLiteral("/config"); }
QString IsolatedEnv::tmpDir() const { return m_dir.path() + QStringLiteral("/tmp"); }
QString IsolatedEnv::systemRoot() const { return m_dir.path() + QStringLiteral("/sysroot"); }
QString IsolatedEnv::homeDir() const { return m_dir.path() + QStringLiteral("/home"); }

QString IsolatedEnv::agentDataRoot() const
{
    return dataHome() + QStringLiteral("/Velto Software/Continuous/");
}

void IsolatedEnv::set(const char* name, const QByteArray& value)
{
    const QByteArray key(name);
    if (!m_wasSet.contains(key)) {
        m_wasSet.insert(key, qEnvironmentVariableIsSet(name));
        m_saved.insert(key, qgetenv(name));
    }
    if (value.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, value);
}

QProcessEnvironment IsolatedEnv::processEnvironment() const
{
    // The process environment already carries every variable set above.
    return QProcessEnvironment::systemEnvironment();
}
