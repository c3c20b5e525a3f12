#include "FormEnumProps.h"

#include <QSet>
#include <QXmlStreamReader>

#include <vector>

namespace AUILib {

namespace {

// Where the search for one widget name stands, as the one-name reader would
// stand on the same token. Every name not in the stack and not decided is
// still looking for its first widget element.
struct Search {
    enum Stage {
        Children,   // inside the widget element: looking at its direct children
        Property,   // at the matching property: its first child decides
        Enum,       // inside that child "enum": collecting its text
    };
    QString name;
    Stage stage;
    int depth;   // of the widget element (Children) or of the property (Property)
    QString text;
};

} // namespace

QHash<QString, QString> CollectControlEnumProps(const QByteArray& formXml, const QString& propertyName)
{
    QHash<QString, QString> found;
    QSet<QString> decided;   // names whose first match has been read
    QSet<QString> active;    // names with a search in progress
    // Searches in progress, innermost last. Only the innermost one can react
    // to a token: every other one waits for a token at its own depth, which
    // cannot come while a deeper element is open.
    std::vector<Search> searches;
    auto drop = [&]() {
        active.remove(searches.back().name);
        searches.pop_back();
    };
    auto finish = [&](const QString& text) {
        if (!text.isNull())
            found.insert(searches.back().name, text);
        decided.insert(searches.back().name);
        drop();
    };

    QXmlStreamReader reader(formXml);
    int depth = 0;   // of the element whose start was read last, while it is open
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Invalid) {
            // The one-name reader stops at the first error; one that was
            // reading an enum's text returns what it had.
            if (!searches.empty() && searches.back().stage == Search::Enum)
                finish(searches.back().text);
            break;
        }
        const bool start = token == QXmlStreamReader::StartElement;
        const bool endElement = token == QXmlStreamReader::EndElement;
        if (start)
            ++depth;
        // The name whose search this token ended without a value: the
        // one-name reader moves past this token before looking again.
        const QString* passed = nullptr;
        QString passedName;
        if (!searches.empty()) {
            Search& search = searches.back();
            switch (search.stage) {
            case Search::Children:
                // Any other child is skipped whole, nested widgets of the name included.
                if (start && depth == search.depth + 1 && reader.name() == QLatin1String("property") &&
                    reader.attributes().value(QLatin1String("name")) == propertyName) {
                    search.stage = Search::Property;
                    search.depth = depth;
                } else if (endElement && depth == search.depth) {
                    drop();   // no such property: a later widget of the name may have it
                }
                break;
            case Search::Property:
                if (start && reader.name() == QLatin1String("enum")) {
                    search.stage = Search::Enum;
                } else if (start || endElement) {
                    // Not an enum: the search for the name goes on after this
                    // token, into this very element.
                    passedName = search.name;
                    passed = &passedName;
                    drop();
                }
                break;
            case Search::Enum:
                if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference)
                    search.text.insert(search.text.size(), reader.text().unicode(), reader.text().size());
                else if (start || endElement)
                    finish(search.text);   // an element inside the enum ends its text
                break;
            }
        }
        if (start && reader.name() == QLatin1String("widget") &&
            reader.attributes().hasAttribute(QLatin1String("class"))) {
            const QString name = reader.attributes().value(QLatin1String("name")).toString();
            if ((!passed || name != *passed) && !decided.contains(name) && !active.contains(name)) {
                active.insert(name);
                searches.push_back(Search{name, Search::Children, depth, QString()});
            }
        }
        if (endElement)
            --depth;
    }
    return found;
}

} // namespace AUILib
