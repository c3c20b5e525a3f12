#include "AgnosticUIException.h"

namespace AUILib {

AgnosticUIException::AgnosticUIException(const char* file, int line, const char* message)
    : m_file(file ? file : ""), m_line(line)
{
    const std::string text = message ? message : "";
    if (m_file.empty())
        m_message = text;
    else
        m_message = m_file + ": " + std::to_string(line) + " \"" + text;
}

AgnosticUIException::~AgnosticUIException() = default;

const char* AgnosticUIException::what() const noexcept
{
    return m_message.c_str();
}

} // namespace AUILib
