#pragma once
// Serialises the tests that read or write the schedule file, across processes,
// and restores the file as it was. The schedule file lives beside the test
// executable's folder tree (as it does beside the agent's), so every test
// process that may touch it shares the lock.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QString>

class ScheduleFileGuard
{
public:
    explicit ScheduleFileGuard(const QString& path)
        : m_path(path), m_lock(path + QStringLiteral(".testlock"))
    {
        m_lock.setStaleLockTime(0);
        m_locked = m_lock.lock();
        QFile file(m_path);
        m_existed = file.open(QIODevice::ReadOnly);
        if (m_existed)
            m_saved = file.readAll();
        file.close();
        QFile::remove(m_path);
    }
    ~ScheduleFileGuard()
    {
        QDir().rmdir(m_path);
        QFile::remove(m_path);
        if (m_existed) {
            QFile file(m_path);
            if (file.open(QIODevice::WriteOnly))
                file.write(m_saved);
        }
        if (m_locked)
            m_lock.unlock();
    }
    QString read() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<none>");
    }

private:
    QString m_path;
    QLockFile m_lock;
    bool m_locked = false;
    bool m_existed = false;
    QByteArray m_saved;
};
