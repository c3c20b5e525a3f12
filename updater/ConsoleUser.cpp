#include "ConsoleUser.h"

#include "CUP_Log.h"
#include "ProcessRunner.h"

#include <QStringList>
#include <QThread>

#include <algorithm>
#include <future>
#include <memory>
#include <mutex>

namespace {

const int kShellTimeoutMs = 30000;

struct Lookup
{
    ConsoleUser answer;
    // Written by the caller's thread: the log is not shared between threads.
    QStringList log;
};

Lookup lookUp()
{
    Lookup result;
    // who is run on its own and its names are cut, sorted and made unique
    // here: the shell pipeline that did this started four more processes,
    // whose start-up slowed the window being made beside them.
    const QString whoPath = QStringLiteral("/usr/bin/who");
    const Platform::ProcessResult who = Platform::runProcess(whoPath, {}, kShellTimeoutMs);
    result.answer.user = QString::fromLocal8Bit(LoggedInUserNames(who.standardOutput)).trimmed();
    result.log << QStringLiteral("login user: ") + result.answer.user;
    QString whoError = QString::fromLocal8Bit(who.standardError).trimmed();
    if (whoError.isEmpty() && !who.started)
        whoError = QStringLiteral("cannot start ") + whoPath;
    else if (whoError.isEmpty() && !who.finished)
        whoError = whoPath + QStringLiteral(" did not finish");
    if (!whoError.isEmpty())
        result.log << QStringLiteral("login user error: ") + whoError;

    const Platform::ProcessResult su = Platform::runProcess(
        QStringLiteral("/usr/bin/su"),
        {QStringLiteral("-"), result.answer.user, QStringLiteral("-c"), QStringLiteral("echo ${HOME}")},
        kShellTimeoutMs);
    QString error = QString::fromLocal8Bit(su.standardError).trimmed();
    // A tool that could not run or was cut off gave no home folder either.
    if (error.isEmpty() && !su.started)
        error = QStringLiteral("cannot start /usr/bin/su");
    else if (error.isEmpty() && !su.finished)
        error = QStringLiteral("/usr/bin/su did not finish");
    result.answer.error = error;
    result.answer.home = QString::fromLocal8Bit(su.standardOutput).trimmed();
    if (error.isEmpty())
        result.log << QStringLiteral("login homePath: ") + result.answer.home;
    else
        result.log << QStringLiteral("login homePath error: ") + error;
    return result;
}

struct State
{
    std::mutex mutex;
    std::shared_future<Lookup> started;   // valid once a lookup was started
    QThread* thread = nullptr;
    bool known = false;
    ConsoleUser answer;
};

State& state()
{
    // Never destroyed: a lookup still running when the process ends must not
    // find its state gone.
    static State* s = new State;
    return *s;
}

} // namespace

QByteArray LoggedInUserNames(const QByteArray& whoOutput)
{
    // Each line's text up to its first blank (all of it when there is none);
    // a last line without its line end still counts.
    QList<QByteArray> names;
    QByteArray rest = whoOutput;
    if (rest.endsWith('\n'))
        rest.chop(1);
    if (!whoOutput.isEmpty()) {
        for (const QByteArray& line : rest.split('\n')) {
            const int blank = line.indexOf(' ');
            names << (blank < 0 ? line : line.left(blank));
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    QByteArray joined;
    for (const QByteArray& name : qAsConst(names))
        joined += name + '\n';
    return joined;
}

void StartConsoleUserLookup()
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.known || s.started.valid())
        return;
    auto task = std::make_shared<std::packaged_task<Lookup()>>(lookUp);
    s.started = task->get_future().share();
    s.thread = QThread::create([task] { (*task)(); });
    s.thread->start();
}

ConsoleUser GetConsoleUser()
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.known) {
        Lookup lookup;
        if (s.started.valid()) {
            lookup = s.started.get();
            s.thread->wait();
            delete s.thread;
            s.thread = nullptr;
            s.started = std::shared_future<Lookup>();
        } else {
            lookup = lookUp();
        }
        for (const QString& line : qAsConst(lookup.log))
            CUP_Log::PrintLog(line);
        s.answer = lookup.answer;
        s.known = true;
    }
    return s.answer;
}

void ForgetConsoleUser()
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.started.valid()) {
        s.started.wait();
        s.thread->wait();
        delete s.thread;
        s.thread = nullptr;
        s.started = std::shared_future<Lookup>();
    }
    s.known = false;
    s.answer = ConsoleUser();
}

QString ReaderPreferencesIn(const QString& home)
{
    return home + QStringLiteral("/Library/Preferences/com.velto-software.%1.plist").arg(QStringLiteral("Velto.PDF.Reader"));
}
