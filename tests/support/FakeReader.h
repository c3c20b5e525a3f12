#pragma once
// A stand-in for the reader's local server "updater_check_state". It runs on a
// thread of its own, so an agent in this very process that blocks while it
// waits for the answer is still served. Every connection's bytes are recorded
// as one message, and the first bytes are answered at once.
#include <QByteArray>
#include <QMutex>
#include <QSemaphore>
#include <QStringList>
#include <QThread>

class FakeReader : public QThread
{
    Q_OBJECT
public:
    explicit FakeReader(const QString& serverName = QStringLiteral("updater_check_state"),
                        const QByteArray& answer = QByteArrayLiteral("ok"));
    ~FakeReader() override;

    // True once the server listens (the constructor waits for that).
    bool isListening() const { return m_listening; }
    QString serverName() const { return m_name; }

    // Messages so far, one per connection, decoded from UTF-8.
    QStringList messages() const;
    // Processes this thread's events until count messages have arrived or the
    // time is up; true when they did.
    bool waitForMessages(int count, int timeoutMs = 10000) const;

protected:
    void run() override;

private:
    // Appends to the message of one connection; index is -1 before its first bytes.
    void appendData(int& index, const QByteArray& data);

    const QString m_name;
    const QByteArray m_answer;
    bool m_listening = false;
    QSemaphore m_started;
    mutable QMutex m_mutex;
    QList<QByteArray> m_messages;
};
