#include "FormLimits.h"

#include <cstring>

namespace AUILib {

namespace {

bool StartsWith(const char* at, const char* end, const char* prefix)
{
    const std::size_t length = std::strlen(prefix);
    return static_cast<std::size_t>(end - at) >= length && std::memcmp(at, prefix, length) == 0;
}

// Position just past the first terminator at or after from, or end when
// there is none (the rest is unterminated markup the reader will refuse).
const char* PastTerminator(const char* from, const char* end, const char* terminator)
{
    const std::size_t length = std::strlen(terminator);
    for (const char* at = from; static_cast<std::size_t>(end - at) >= length; ++at) {
        if (std::memcmp(at, terminator, length) == 0)
            return at + length;
    }
    return end;
}

} // namespace

bool FormWithinLimits(const QByteArray& form)
{
    if (form.size() > kMaxFormBytes)
        return false;
    const char* at = form.constData();
    const char* const end = at + form.size();
    int depth = 0;
    int elements = 0;
    while ((at = static_cast<const char*>(std::memchr(at, '<', static_cast<std::size_t>(end - at)))) != nullptr) {
        if (StartsWith(at, end, "<!--")) {
            at = PastTerminator(at + 4, end, "-->");
        } else if (StartsWith(at, end, "<![CDATA[")) {
            at = PastTerminator(at + 9, end, "]]>");
        } else if (StartsWith(at, end, "<?")) {
            at = PastTerminator(at + 2, end, "?>");
        } else if (StartsWith(at, end, "<!")) {
            return false;   // a document type declaration
        } else if (StartsWith(at, end, "</")) {
            if (depth > 0)
                --depth;
            at = PastTerminator(at + 2, end, ">");
        } else {
            // A start tag: every attribute has exactly one quoted value, and
            // a quoted value may hold '>'.
            int attributes = 0;
            char quote = 0;
            const char* close = nullptr;
            for (const char* p = at + 1; p < end && !close; ++p) {
                if (quote) {
                    if (*p == quote)
                        quote = 0;
                } else if (*p == '"' || *p == '\'') {
                    quote = *p;
                    if (++attributes > kMaxFormAttributes)
                        return false;
                } else if (*p == '>') {
                    close = p;
                }
            }
            if (++elements > kMaxFormElements)
                return false;
            if (!close)
                break;   // unterminated: the reader refuses it
            // A leaf is as deep as an element with children.
            if (depth + 1 > kMaxFormDepth)
                return false;
            if (close[-1] != '/')
                ++depth;
            at = close + 1;
        }
        if (at >= end)
            break;
    }
    return true;
}

} // namespace AUILib
