// Forms measured before Qt's recursive form reader sees them: one just
// within each limit loads, one just over fails as any bad form does, and the
// hostile shapes that overflowed the stack or ran for minutes are refused.
// Also the one-pass reader of the lines' orientations, name by name against
// the reader of one name.
#include "AgnosticUIException.h"
#include "FormEnumProps.h"
#include "FormLimits.h"
#include "FormTestSupport.h"
#include "KwQUiLoader.h"
#include "LanguageFileDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QSet>

#include <functional>

namespace {

const char* const kHead = "<ui version=\"4.0\"><widget class=\"QDialog\" name=\"Limits\">";
const char* const kTail = "</widget></ui>";
const char* const kLeaf = "<widget class=\"QLabel\" name=\"leaf\"/>";

// widgets QWidget elements nested in the dialog, the leaf label innermost.
// Depth of the leaf: ui 1, dialog 2, then one per widget.
QByteArray NestedWidgets(int widgets)
{
    QByteArray form(kHead);
    for (int i = 0; i < widgets; ++i)
        form += "<widget class=\"QWidget\" name=\"w" + QByteArray::number(i) + "\">";
    form += kLeaf;
    for (int i = 0; i < widgets; ++i)
        form += "</widget>";
    return form + kTail;
}

// layouts nested in the dialog, each in the item of the one around it.
QByteArray NestedLayouts(int layouts)
{
    QByteArray form(kHead);
    for (int i = 0; i < layouts; ++i)
        form += QByteArray(i ? "<item>" : "") + "<layout class=\"QVBoxLayout\">";
    form += "<item>" + QByteArray(kLeaf) + "</item>";
    for (int i = 0; i < layouts; ++i)
        form += QByteArray("</layout>") + (i + 1 < layouts ? "</item>" : "");
    return form + kTail;
}

// Exactly elements elements: the form, the leaf and z-order entries (cheap
// for the reader and the builder alike).
QByteArray Elements(int elements)
{
    QByteArray form(kHead);
    form += kLeaf;
    for (int i = 3; i < elements; ++i)
        form += "<zorder>leaf</zorder>";
    return form + kTail;
}

// Exactly bytes bytes, padded with a comment.
QByteArray Bytes(int bytes)
{
    QByteArray form = QByteArray(kHead) + kLeaf + "<!--";
    const QByteArray end = QByteArray("-->") + kTail;
    form += QByteArray(bytes - form.size() - end.size(), 'x');
    return form + end;
}

// The root element with attributes attributes: the version and namespace
// declarations, which Qt's form reader accepts in any number.
QByteArray Attributes(int attributes)
{
    QByteArray form("<ui version=\"4.0\"");
    for (int i = 1; i < attributes; ++i)
        form += " xmlns:n" + QByteArray::number(i) + "=\"urn:n" + QByteArray::number(i) + "\"";
    return form + "><widget class=\"QDialog\" name=\"Limits\">" + kLeaf + kTail;
}

// One element with count ordinary attributes.
QByteArray ManyAttributes(int count)
{
    QByteArray form("<ui version=\"4.0\"><widget class=\"QDialog\" name=\"Limits\"");
    form.reserve(count * 16);
    for (int i = 0; i < count; ++i)
        form += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    return form + ">" + kLeaf + kTail;
}

const char* const kCreateFails = "../src/Dialog.cpp: 65 \"Create from ui fails";

TEST(FormLimits, JustWithinLoadsJustOverFailsLikeAnyBadForm)
{
    GermanStrings strings(false);
    LanguageFileDir dir;
    const struct {
        const char* name;
        std::function<QByteArray(int)> make;
        int within;   // the largest value that loads
    } cases[] = {
        {"depth", [](int depth) { return NestedWidgets(depth - 3); }, AUILib::kMaxFormDepth},
        {"elements", Elements, AUILib::kMaxFormElements},
        {"bytes", Bytes, AUILib::kMaxFormBytes},
        {"attributes", Attributes, AUILib::kMaxFormAttributes},
    };
    for (const auto& c : cases) {
        for (int value : {c.within, c.within + 1}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(value));
            const QString file = QString("%1-%2.ui.kw").arg(c.name).arg(value);
            ASSERT_TRUE(dir.WriteEnciphered(file, c.make(value)));
            const int before = QApplication::topLevelWidgets().size();
            try {
                VetoDialog dialog(dir.PathOf(file));
                WindowGuard guard(dialog.GetWndPtr());
                EXPECT_EQ(value, c.within) << "loaded";
                auto leaf = dialog.GetElementByName(L"leaf");
                ASSERT_TRUE(leaf);
                EXPECT_TRUE(dialog.GetWndPtr()->isAncestorOf(leaf->GetPlatformWindow()));
            } catch (const AUILib::AgnosticUIException& e) {
                EXPECT_EQ(value, c.within + 1) << "refused";
                EXPECT_STREQ(e.what(), kCreateFails);
            }
            RunDeferredDeletes();
            EXPECT_EQ(QApplication::topLevelWidgets().size(), before);   // nothing left behind
        }
    }
}

TEST(FormLimits, HostileShapesAreRefusedBeforeTheReader)
{
    GermanStrings strings(false);
    LanguageFileDir dir;
    const struct {
        const char* name;
        QByteArray form;
    } cases[] = {
        {"40,000 nested widgets", NestedWidgets(40000)},
        {"10,000 nested layouts", NestedLayouts(10000)},
        {"200,000 attributes on one element", ManyAttributes(200000)},
        {"document type declaration",
         "<!DOCTYPE ui [<!ENTITY leaf \"<widget class='QLabel' name='leaf'/>\">]>" + QByteArray(kHead) + "&leaf;" +
             kTail},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = QString(c.name).remove(QRegularExpression("[^a-z0-9]")) + ".ui.kw";
        ASSERT_TRUE(dir.WriteEnciphered(file, c.form));
        try {
            VetoDialog dialog(dir.PathOf(file));
            ADD_FAILURE() << "built";
        } catch (const AUILib::AgnosticUIException& e) {
            EXPECT_STREQ(e.what(), kCreateFails);
        }
        RunDeferredDeletes();
    }
    // The same shapes, shallow enough, still load: the nesting itself is fine.
    for (const QByteArray& form : {NestedWidgets(100), NestedLayouts(100)}) {
        ASSERT_TRUE(dir.WriteEnciphered("shallow.ui.kw", form));
        VetoDialog dialog(dir.PathOf("shallow.ui.kw"));
        WindowGuard guard(dialog.GetWndPtr());
        EXPECT_TRUE(dialog.GetElementByName(L"leaf"));
    }
}

TEST(FormLimits, MarkupThatIsNotAnElementIsNotCounted)
{
    const QByteArray deep = QByteArray("<a>").repeated(AUILib::kMaxFormDepth + 1);
    const QByteArray many = QByteArray("<a/>").repeated(AUILib::kMaxFormElements + 1);
    const QByteArray quotes = QByteArray(" b=\"'\"").repeated(AUILib::kMaxFormAttributes);
    const struct {
        const char* name;
        QByteArray form;
        bool within;
    } cases[] = {
        {"elements in a comment", "<ui><!--" + deep + many + "--></ui>", true},
        {"elements in character data", "<ui><![CDATA[" + deep + many + "]]></ui>", true},
        {"elements in a processing instruction", "<?x " + deep + "?><ui/>", true},
        {"markup and quotes inside attribute values", "<ui a=\"<a><a>\" b='\">'>" + deep.mid(6) + "</ui>", true},
        {"quotes of the other kind inside values", "<ui" + quotes + "/>", true},
        {"closed elements are not nested", "<ui>" + QByteArray("<a></a>").repeated(1000) + "</ui>", true},
        {"a leaf one deeper than the limit", "<ui>" + deep.mid(6) + "<a/></ui>", false},
        {"an empty text", "", true},
        {"an unterminated tag", "<ui><a b=\"", true},   // the reader refuses it
        {"a declaration in another letter case", "<!doctype ui><ui/>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AUILib::FormWithinLimits(c.form), c.within);
    }
}

// Every name of a widget element in the text, the empty name and one absent.
QSet<QString> NamesIn(const QByteArray& xml)
{
    QSet<QString> names{QString(), "absent"};
    QRegularExpression name("name=\"([^\"]*)\"");
    for (auto it = name.globalMatch(QString::fromUtf8(xml)); it.hasNext();)
        names.insert(it.next().captured(1));
    return names;
}

TEST(FormLimits, OnePassOrientationsMatchTheOneNameReader)
{
    const QByteArray cases[] = {
        // Plain lines, one of each value, among other widgets.
        "<ui><widget class=\"QDialog\" name=\"d\"><layout class=\"QVBoxLayout\"><item>"
        "<widget class=\"Line\" name=\"v\"><property name=\"orientation\"><enum>Qt::Vertical</enum></property>"
        "</widget></item><item><widget class=\"Line\" name=\"h\"><property name=\"geometry\"><rect><x>1</x></rect>"
        "</property><property name=\"orientation\"><enum>Qt::Horizontal</enum></property></widget></item>"
        "<item><widget class=\"Line\" name=\"odd\"><property name=\"orientation\"><enum>qt::vertical</enum>"
        "</property></widget></item></layout></widget></ui>",
        // A property of a nested widget is not its parent's.
        "<ui><widget class=\"A\" name=\"w\"><widget class=\"B\" name=\"x\"><property name=\"orientation\">"
        "<enum>in</enum></property></widget></widget></ui>",
        // Repeated names: the first match decides; a nested one of the same
        // name is skipped with its parent's children.
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>one</enum></property></widget>"
        "<widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>two</enum></property></widget></ui>",
        "<ui><widget class=\"A\" name=\"w\"><widget class=\"A\" name=\"w\"><property name=\"orientation\">"
        "<enum>inner</enum></property></widget></widget><widget class=\"A\" name=\"w\">"
        "<property name=\"orientation\"><enum>later</enum></property></widget></ui>",
        // A property that is not an enum ends that widget's scan inside it:
        // a nested widget of the same name then counts, the element right
        // after the property does not.
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><string>s</string></property>"
        "<widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>nested</enum></property></widget>"
        "</widget></ui>",
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><widget class=\"A\" name=\"w\">"
        "<property name=\"orientation\"><enum>skipped</enum></property></widget></property>"
        "<widget class=\"A\" name=\"y\"><property name=\"orientation\"><enum>y</enum></property></widget>"
        "</widget><widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>after</enum></property>"
        "</widget></ui>",
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"></property><widget class=\"A\" "
        "name=\"w\"><property name=\"orientation\"><enum>empty property</enum></property></widget></widget></ui>",
        // Elements without a class, without a name, and empty enums.
        "<ui><widget name=\"w\"><property name=\"orientation\"><enum>one</enum></property></widget>"
        "<widget class=\"A\"><property name=\"orientation\"><enum>nameless</enum></property></widget>"
        "<widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum/></property></widget>"
        "<widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>late</enum></property></widget></ui>",
        // Text pieces, comments and entities in an enum; an element inside one.
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>Qt::<!--c-->Vert&amp;"
        "<![CDATA[ical]]></enum></property></widget><widget class=\"A\" name=\"x\"><property "
        "name=\"orientation\"><enum>part<b/>rest</enum></property></widget></ui>",
        // Reader errors: names decided before stay, an enum cut short keeps
        // its text, every other name is null.
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>ok</enum></property></widget>"
        "<widget class=\"A\" name=\"x\"><property name=\"orientation\"><enum>cut</wrong></ui>",
        "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"></ui>",
        "plain text",
        "",
    };
    for (const QByteArray& xml : cases) {
        SCOPED_TRACE(xml.toStdString());
        const QHash<QString, QString> all = AUILib::CollectControlEnumProps(xml, "orientation");
        for (const QString& name : NamesIn(xml)) {
            SCOPED_TRACE(name.toStdString());
            const QString one = AUILib::GetControlEnumProp(xml, name, "orientation");
            const QString collected = all.value(name);
            EXPECT_EQ(collected.isNull(), one.isNull());
            EXPECT_EQ(collected, one);
        }
    }
}

} // namespace
