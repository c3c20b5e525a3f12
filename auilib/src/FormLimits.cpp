#include "FormLimits.h"

#include <QXmlStreamReader>

#include <climits>
#include <cstddef>
#include <cstring>
#include <vector>

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

// Whether text, read as a number, lies in [low, high]. Text that is no
// number counts as the value unreadable: Qt's form reader takes it as 0.
bool NumberIn(const QStringRef& text, long long low, long long high, long long unreadable = 0)
{
    bool ok = false;
    long long value = text.trimmed().toLongLong(&ok);
    if (!ok)
        value = unreadable;
    return value >= low && value <= high;
}

bool GridCellWithin(const QXmlStreamAttributes& attributes)
{
    const QStringRef row = attributes.value(QLatin1String("row"));
    const QStringRef column = attributes.value(QLatin1String("column"));
    const QStringRef rowSpan = attributes.value(QLatin1String("rowspan"));
    const QStringRef columnSpan = attributes.value(QLatin1String("colspan"));
    const long long last = kMaxFormGridLines - 1;
    if (!NumberIn(row, 0, last) || !NumberIn(column, 0, last))
        return false;
    // A span ends within the grid: position and span together.
    const long long rowAt = row.trimmed().toLongLong();
    const long long columnAt = column.trimmed().toLongLong();
    return (rowSpan.isNull() || NumberIn(rowSpan, 1, kMaxFormGridLines - rowAt)) &&
           (columnSpan.isNull() || NumberIn(columnSpan, 1, kMaxFormGridLines - columnAt));
}

// The largest value of a number property that sizes storage, or -1 for
// other properties.
long long NumberPropertyLimit(const QStringRef& property)
{
    static const struct {
        const char* name;
        int limit;
    } kLimits[] = {
        {"rowCount", kMaxFormTableLines},   {"columnCount", kMaxFormTableLines},
        {"handleWidth", kMaxFormHandleWidth}, {"margin", kMaxFormExtent},
        {"leftMargin", kMaxFormExtent},     {"topMargin", kMaxFormExtent},
        {"rightMargin", kMaxFormExtent},    {"bottomMargin", kMaxFormExtent},
        {"spacing", kMaxFormExtent},        {"horizontalSpacing", kMaxFormExtent},
        {"verticalSpacing", kMaxFormExtent}, {"lineWidth", kMaxFormExtent},
        {"midLineWidth", kMaxFormExtent},
    };
    for (const auto& entry : kLimits) {
        if (property == QLatin1String(entry.name))
            return entry.limit;
    }
    return -1;
}

// Grid cells and the numbers that size storage, read with an XML reader: the
// text has passed the counts, so this pass is short. A reader error ends it;
// the form reader refuses the same text.
bool NumbersWithinLimits(const QByteArray& form)
{
    QXmlStreamReader reader(form);
    QString property;         // name of the innermost open property
    bool inExtent = false;    // inside a rect or size whose extent counts
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            const QStringRef name = reader.name();
            if (name == QLatin1String("property"))
                property.clear();
            else if (name == QLatin1String("rect") || name == QLatin1String("size"))
                inExtent = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QStringRef name = reader.name();
        if (name == QLatin1String("item")) {
            if (!GridCellWithin(reader.attributes()))
                return false;
        } else if (name == QLatin1String("property")) {
            property = reader.attributes().value(QLatin1String("name")).toString();
        } else if (name == QLatin1String("rect") || name == QLatin1String("size")) {
            inExtent = property != QLatin1String("maximumSize");
        } else if (inExtent && (name == QLatin1String("width") || name == QLatin1String("height"))) {
            const QString text = reader.readElementText();
            if (!NumberIn(QStringRef(&text), LLONG_MIN, kMaxFormExtent))
                return false;
        } else if (name == QLatin1String("number")) {
            const long long limit = NumberPropertyLimit(QStringRef(&property));
            const QString text = limit >= 0 ? reader.readElementText() : QString();
            if (limit >= 0 && !NumberIn(QStringRef(&text), LLONG_MIN, limit))
                return false;
        }
    }
    return true;
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
    // children[d]: elements so far directly inside the open element at depth
    // d (0: the document).
    std::vector<int> children(kMaxFormDepth + 1, 0);
    // Character data between two tags, which the reader joins into one text
    // across comments, processing instructions and character data sections.
    std::ptrdiff_t text = 0;
    const char* textFrom = at;   // where the character data before at began
    while ((at = static_cast<const char*>(std::memchr(at, '<', static_cast<std::size_t>(end - at)))) != nullptr) {
        text += at - textFrom;
        if (text > kMaxFormText)
            return false;
        if (StartsWith(at, end, "<!--")) {
            at = PastTerminator(at + 4, end, "-->");
        } else if (StartsWith(at, end, "<![CDATA[")) {
            const char* const past = PastTerminator(at + 9, end, "]]>");
            text += past - at - 12;
            if (text > kMaxFormText)
                return false;
            at = past;
        } else if (StartsWith(at, end, "<?")) {
            at = PastTerminator(at + 2, end, "?>");
        } else if (StartsWith(at, end, "<!")) {
            return false;   // a document type declaration
        } else if (StartsWith(at, end, "</")) {
            if (depth > 0)
                --depth;
            at = PastTerminator(at + 2, end, ">");
            text = 0;
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
            if (++children[static_cast<std::size_t>(depth)] > kMaxFormChildren)
                return false;
            if (close[-1] != '/')
                children[static_cast<std::size_t>(++depth)] = 0;
            at = close + 1;
            text = 0;
        }
        textFrom = at;
        if (at >= end)
            break;
    }
    if (text + (end - textFrom) > kMaxFormText)
        return false;
    return NumbersWithinLimits(form);
}

} // namespace AUILib
