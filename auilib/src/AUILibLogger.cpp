#include "AUILibLogger.h"

#include "AUILibUtf8.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

const wchar_t* PrefixOf(AUILibLogger::ErrorCode code)
{
    switch (code) {
    case AUILibLogger::Info: return L"Info: ";
    case AUILibLogger::Warning: return L"Warning: ";
    case AUILibLogger::Error: return L"Error: ";
    case AUILibLogger::FatalError: return L"Fatal Error: ";
    case AUILibLogger::Exception: return L"Exception: ";
    case AUILibLogger::Debug: return L"Debug: ";
    }
    return L"";
}

} // namespace

AUILibLogger& AUILibLogger::GetInstance()
{
    static AUILibLogger instance;
    return instance;
}

void AUILibLogger::Log(ErrorCode code, const std::wstring& message)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_messages[code] = message + L'\n';
}

void AUILibLogger::LogInfo(const std::wstring& message) { Log(Info, message); }
void AUILibLogger::LogWarning(const std::wstring& message) { Log(Warning, message); }
void AUILibLogger::LogError(const std::wstring& message) { Log(Error, message); }
void AUILibLogger::LogFatalError(const std::wstring& message) { Log(FatalError, message); }
void AUILibLogger::LogException(const std::wstring& message) { Log(Exception, message); }

void AUILibLogger::SetDebugLevel(bool on) { m_debugLevel = on; }
bool AUILibLogger::IsDebugLevel() const { return m_debugLevel; }

void AUILibLogger::LogDebug(const std::wstring& message)
{
    if (m_debugLevel)
        Log(Debug, message);
}

void AUILibLogger::LogException(const std::exception& exception)
{
    const char* text = exception.what();
    std::wstring message;
    if (text) {
        // Bytes above 0x7F become U+0080..U+00FF rather than negative values.
        const std::size_t length = std::strlen(text);
        message.reserve(length);
        for (std::size_t i = 0; i < length; ++i)
            message += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    Log(Exception, message);
}

void AUILibLogger::WriteLog(std::wostream& out)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (const auto& entry : m_messages)
        out << PrefixOf(entry.first) << entry.second;
}

namespace AUILib {

void WriteLogToFile(const std::string& path)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.good())
        return;
    // The text is encoded here, not by the stream: a wide file stream under
    // the "C" locale would stop at the first character outside ASCII.
    std::wostringstream text;
    AUILibLogger::GetInstance().WriteLog(text);
    const std::string bytes = WideToUtf8Lossy(text.str());
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
}

} // namespace AUILib
