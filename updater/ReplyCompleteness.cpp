#include "ReplyCompleteness.h"

namespace ReplyCompleteness {

Shape Measure(const QByteArray& xml)
{
    Shape shape;
    const int n = xml.size();
    int depth = 0;          // 1 inside the root, 2 inside one of its children...
    bool rootSeen = false;
    int i = 0;
    while (i < n) {
        i = xml.indexOf('<', i);
        if (i < 0)
            break;
        // Skipped constructs: text that ends inside one ends the scan.
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
            return shape;
        if (next > 0) {
            i = next;
            continue;
        }
        if (i + 1 < n && xml.at(i + 1) == '/') {   // an end tag closes the current element
            const int end = xml.indexOf('>', i);
            if (end < 0)
                return shape;   // the element it would close stays open
            if (depth == 2)
                ++shape.completeModules;
            depth = depth > 0 ? depth - 1 : 0;
            if (depth == 0 && rootSeen) {
                shape.rootEnded = true;
                return shape;
            }
            i = end + 1;
            continue;
        }
        // A start tag: quoted values may hold '>' and '/'.
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
            return shape;   // cut inside this tag: the element does not count
        if (xml.at(j - 1) == '/') {   // an empty-element tag ends where it starts
            if (depth == 0) {
                shape.rootEnded = true;
                return shape;
            }
            if (depth == 1)
                ++shape.completeModules;
        } else {
            ++depth;
            rootSeen = true;
        }
        i = j + 1;
    }
    return shape;
}

} // namespace ReplyCompleteness
