#include "ReplyCompleteness.h"

namespace ReplyCompleteness {

bool EndsInsideModule(const QByteArray& xml)
{
    const int n = xml.size();
    int depth = 0;          // 1 inside the root, 2 inside one of its children...
    bool inModule = false;  // a child of the root has begun and not yet ended
    bool rootSeen = false;
    int i = 0;
    while (i < n) {
        i = xml.indexOf('<', i);
        if (i < 0)
            break;
        // Skipped constructs: the text ending inside one leaves the element
        // around it open.
        const auto skipTo = [&](const char* start, const char* end) -> int {
            if (!xml.mid(i, int(qstrlen(start))).startsWith(start))
                return 0;
            const int at = xml.indexOf(end, i + int(qstrlen(start)));
            return at < 0 ? -1 : at + int(qstrlen(end));
        };
        int next = skipTo("<!--", "-->");
        if (next == 0)
            next = skipTo("<![CDATA[", "]]>");
        if (next == 0)
            next = skipTo("<?", "?>");
        if (next == 0)
            next = skipTo("<!", ">");
        if (next < 0)
            return inModule;
        if (next > 0) {
            i = next;
            continue;
        }
        if (i + 1 < n && xml.at(i + 1) == '/') {   // an end tag closes the current element
            const int end = xml.indexOf('>', i);
            if (end < 0)
                return inModule;
            depth = depth > 0 ? depth - 1 : 0;
            if (depth <= 1)
                inModule = false;
            if (depth == 0 && rootSeen)
                return false;   // the root is complete: the rest is not read
            i = end + 1;
            continue;
        }
        // A start tag: quoted values may hold '>' and '/'.
        if (depth == 1)
            inModule = true;
        int j = i + 1;
        char quote = 0;
        for (; j < n; ++j) {
            const char c = xml.at(j);
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (j >= n)
            return inModule;
        const bool empty = xml.at(j - 1) == '/';
        if (empty) {
            if (depth == 1)
                inModule = false;
            if (depth == 0)
                return false;   // an empty root holds no module
        } else {
            ++depth;
            rootSeen = true;
        }
        i = j + 1;
    }
    return inModule;
}

} // namespace ReplyCompleteness
