#pragma once
// The library's message log: at most one message per severity (the last one
// logged), written on the application's request in severity order. Any
// thread may log; the library itself logs only what it has no caller to
// report to: an exception caught in a dialog's event filter, and, at the
// debug level only, traces of its own event handling (never to standard
// error: they came with every key press).
#include <atomic>
#include <exception>
#include <map>
#include <mutex>
#include <ostream>
#include <string>

class AUILibLogger
{
public:
    enum ErrorCode : int
    {
        Info = 0,
        Warning = 1,
        Error = 2,
        FatalError = 3,
        Exception = 4,
        Debug = 5
    };

    static AUILibLogger& GetInstance();

    void Log(ErrorCode code, const std::wstring& message);
    void LogInfo(const std::wstring& message);
    void LogWarning(const std::wstring& message);
    void LogError(const std::wstring& message);
    void LogFatalError(const std::wstring& message);
    void LogException(const std::wstring& message);
    // The exception's what() bytes, each byte one character.
    void LogException(const std::exception& exception);

    // Debug messages are kept only while the debug level is on (off at
    // start); the others always.
    void SetDebugLevel(bool on);
    bool IsDebugLevel() const;
    void LogDebug(const std::wstring& message);

    // Writes every entry, prefix then message and line feed, in code order.
    // The stream must not log through this logger while it is written to.
    void WriteLog(std::wostream& out);

    AUILibLogger(const AUILibLogger&) = delete;
    AUILibLogger& operator=(const AUILibLogger&) = delete;

private:
    AUILibLogger() = default;

    std::map<ErrorCode, std::wstring> m_messages;
    std::mutex m_lock;
    std::atomic<bool> m_debugLevel{false};
};

namespace AUILib {

// Creates or empties the file at path (bytes passed to the system as they
// are) and writes the log into it as UTF-8. A file that cannot be opened is
// left alone without a report.
void WriteLogToFile(const std::string& path);

} // namespace AUILib
