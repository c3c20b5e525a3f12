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
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
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
// for the reader and the builder alike), as many in one widget as it may hold.
QByteArray Elements(int elements)
{
    QByteArray form(kHead);
    form += kLeaf;
    int left = elements - 3;
    for (int group = 0; left > 0; ++group) {
        form += "<widget class=\"QWidget\" name=\"g" + QByteArray::number(group) + "\">";
        const int zorders = std::min(left - 1, AUILib::kMaxFormChildren);
        form += QByteArray("<zorder>leaf</zorder>").repeated(zorders);
        left -= zorders + 1;
        form += "</widget>";
    }
    return form + kTail;
}

// The dialog with exactly children elements directly inside it.
QByteArray Children(int children)
{
    return QByteArray(kHead) + kLeaf + QByteArray("<zorder>leaf</zorder>").repeated(children - 1) + kTail;
}

// The leaf's tool tip, a text of exactly bytes bytes.
QByteArray Text(int bytes)
{
    return QByteArray(kHead) + "<widget class=\"QLabel\" name=\"leaf\"><property name=\"toolTip\"><string>" +
           QByteArray(bytes, 'x') + "</string></property></widget>" + kTail;
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

// The dialog holding open, count times piece, then close.
QByteArray Repeated(const char* open, const char* piece, const char* close, int count)
{
    return QByteArray(kHead) + open + QByteArray(piece).repeated(count) + close + kTail;
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
        {"children", Children, AUILib::kMaxFormChildren},
        {"text", Text, AUILib::kMaxFormText},
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
        {"49,000 properties on one widget", Repeated("<widget class=\"QLabel\" name=\"leaf\">",
                                                     "<property name=\"text\"><string>p</string></property>",
                                                     "</widget>", 49000)},
        {"30,000 tab pages", Repeated("<widget class=\"QTabWidget\" name=\"leaf\">",
                                      "<widget class=\"QWidget\"><attribute name=\"title\"><string>t</string>"
                                      "</attribute></widget>",
                                      "</widget>", 30000)},
        {"24,000 buttons", Repeated("<layout class=\"QVBoxLayout\">",
                                    "<item><widget class=\"QPushButton\"><property name=\"text\"><string>b"
                                    "</string></property></widget></item>",
                                    "</layout>", 24000)},
        {"a label text of 4 MB", Repeated("<widget class=\"QLabel\" name=\"leaf\"><property name=\"text\">"
                                          "<string>", "x", "</string></property></widget>", 4 * 1024 * 1024)},
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
    const QByteArray text(AUILib::kMaxFormText, 't');
    // Character data in pieces within the text limit, each in an element.
    auto cdata = [](const QByteArray& text) {
        QByteArray pieces;
        for (int at = 0; at < text.size(); at += AUILib::kMaxFormText)
            pieces += "<t><![CDATA[" + text.mid(at, AUILib::kMaxFormText) + "]]></t>";
        return pieces;
    };
    const struct {
        const char* name;
        QByteArray form;
        bool within;
    } cases[] = {
        {"elements in a comment", "<ui><!--" + deep + many + "--></ui>", true},
        {"elements in character data", "<ui>" + cdata(deep + many) + "</ui>", true},
        {"elements in a processing instruction", "<?x " + deep + "?><ui/>", true},
        {"markup and quotes inside attribute values", "<ui a=\"<a><a>\" b='\">'>" + deep.mid(6) + "</ui>", true},
        {"quotes of the other kind inside values", "<ui" + quotes + "/>", true},
        {"closed elements are not nested", "<ui>" + QByteArray("<a></a>").repeated(1000) + "</ui>", true},
        {"a leaf one deeper than the limit", "<ui>" + deep.mid(6) + "<a/></ui>", false},
        {"an empty text", "", true},
        {"an unterminated tag", "<ui><a b=\"", true},   // the reader refuses it
        {"a declaration in another letter case", "<!doctype ui><ui/>", false},
        {"texts apart from each other", "<ui>" + text + "<a/>" + text + "</ui>", true},
        {"one text split by a comment", "<ui>" + text + "<!-- -->x</ui>", false},
        {"one text split by character data", "<ui>" + text + "<![CDATA[x]]></ui>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AUILib::FormWithinLimits(c.form), c.within);
    }
}

QByteArray PlainFixture(const char* name)
{
    QFile file(QString(AUILIB_FIXTURES_PLAIN "/auiresources/ui/%1.ui").arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Small forms whose numbers made Qt crash or allocate gigabytes are refused
// as any bad form; the same form with the number at its limit loads.
TEST(FormLimits, NumbersThatSizeStorageAreBoundedInFormFixtures)
{
    GermanStrings strings(false);
    LanguageFileDir dir;
    const struct {
        const char* fixture;
        const char* hostile;
        int within;
    } cases[] = {
        {"hostile_gridcell", "100000000", AUILib::kMaxFormGridLines - 1},
        {"hostile_negativespan", "-2000000000", AUILib::kMaxFormGridLines},
        {"hostile_hugespan", "2000000000", AUILib::kMaxFormGridLines},
        {"hostile_splitter", "100000", AUILib::kMaxFormHandleWidth},
        {"hostile_geometry", "60000", AUILib::kMaxFormExtent},
        {"hostile_rowcount", "100000000", AUILib::kMaxFormTableLines},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        try {
            VetoDialog dialog(FormPath(c.fixture));
            ADD_FAILURE() << "built";
        } catch (const AUILib::AgnosticUIException& e) {
            EXPECT_STREQ(e.what(), kCreateFails);
        }
        RunDeferredDeletes();

        QByteArray form = PlainFixture(c.fixture);
        ASSERT_TRUE(form.contains(c.hostile));
        form.replace(c.hostile, QByteArray::number(c.within));
        ASSERT_TRUE(dir.WriteEnciphered("within.ui.kw", form));
        VetoDialog dialog(dir.PathOf("within.ui.kw"));
        WindowGuard guard(dialog.GetWndPtr());
        EXPECT_TRUE(dialog.GetElementByName(L"leaf"));
    }
}

// Texts each within the limit, side by side, would make a window wider than
// any screen: refused once built. Wrapped, the same texts load.
TEST(FormLimits, DialogWiderThanAnyScreenIsRefused)
{
    GermanStrings strings(false);
    LanguageFileDir dir;
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrapped" : "one line each");
        QByteArray label = "<item><widget class=\"QLabel\"><property name=\"text\"><string>" +
                           QByteArray("word ").repeated(AUILib::kMaxFormText / 10) + "</string></property>";
        if (wrap)
            label += "<property name=\"wordWrap\"><bool>true</bool></property>";
        label += "</widget></item>";
        const QByteArray form = Repeated("<layout class=\"QHBoxLayout\">", label, "</layout>", 3);
        ASSERT_TRUE(AUILib::FormWithinLimits(form));
        ASSERT_TRUE(dir.WriteEnciphered("wide.ui.kw", form));
        const int before = QApplication::topLevelWidgets().size();
        try {
            VetoDialog dialog(dir.PathOf("wide.ui.kw"));
            WindowGuard guard(dialog.GetWndPtr());
            EXPECT_TRUE(wrap) << "loaded";
            EXPECT_LE(dialog.GetWndPtr()->minimumSizeHint().width(), AUILib::kMaxFormExtent);
        } catch (const AUILib::AgnosticUIException& e) {
            EXPECT_FALSE(wrap) << "refused";
            EXPECT_STREQ(e.what(), kCreateFails);
        }
        RunDeferredDeletes();
        EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    }
}

// Every form the agent and these tests use is well within every limit.
TEST(FormLimits, RealFormsAreWithinEveryLimit)
{
    int forms = 0;
    for (const QString& folder : {QStringLiteral(AGENT_FORMS_DIR), QStringLiteral(GALLERY_FORMS_DIR),
                                  QStringLiteral(AUILIB_FIXTURES_PLAIN "/auiresources/ui")}) {
        for (const QFileInfo& info : QDir(folder).entryInfoList({"*.ui"}, QDir::Files)) {
            SCOPED_TRACE(info.filePath().toStdString());
            QFile file(info.filePath());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray form = file.readAll();
            // The hostile fixtures are made to fail; every other one passes.
            EXPECT_EQ(AUILib::FormWithinLimits(form), !info.fileName().startsWith("hostile_"));
            ++forms;
        }
    }
    EXPECT_GT(forms, 20);
}

TEST(FormLimits, NumbersThatSizeStorageAtAndOverTheirLimits)
{
    auto form = [](const QByteArray& body) {
        return "<ui version=\"4.0\"><widget class=\"QDialog\" name=\"d\">" + body + "</widget></ui>";
    };
    auto cell = [&](const QByteArray& attributes) {
        return form("<layout class=\"QGridLayout\"><item " + attributes + "><widget class=\"QLabel\"/></item>"
                    "</layout>");
    };
    auto number = [&](const char* property, int value) {
        return form(QByteArray("<property name=\"") + property + "\"><number>" + QByteArray::number(value) +
                    "</number></property>");
    };
    auto size = [&](const char* property, const char* kind, int width, int height) {
        return form(QByteArray("<property name=\"") + property + "\"><" + kind + "><width>" +
                    QByteArray::number(width) + "</width><height>" + QByteArray::number(height) + "</height></" +
                    kind + "></property>");
    };
    auto at = [](int row, int column) {
        return "row=\"" + QByteArray::number(row) + "\" column=\"" + QByteArray::number(column) + "\"";
    };
    auto spans = [](int rows, int columns) {
        return " rowspan=\"" + QByteArray::number(rows) + "\" colspan=\"" + QByteArray::number(columns) + "\"";
    };
    const int lines = AUILib::kMaxFormGridLines;
    const int extent = AUILib::kMaxFormExtent;
    const struct {
        const char* name;
        QByteArray form;
        bool within;
    } cases[] = {
        {"last grid cell", cell(at(lines - 1, lines - 1)), true},
        {"row past the grid", cell(at(lines, 0)), false},
        {"negative column", cell(at(0, -1)), false},
        {"span to the grid's end", cell(at(10, 0) + spans(lines - 10, lines)), true},
        {"span past the grid's end", cell(at(10, 0) + spans(lines - 9, 1)), false},
        {"empty span", cell(at(0, 0) + spans(1, 0)), false},
        {"span to the edge", cell(at(0, 0) + spans(-1, 1)), false},
        {"item without a cell (combo box, list)", form("<item><property name=\"text\"/></item>"), true},
        {"row count at the limit", number("rowCount", AUILib::kMaxFormTableLines), true},
        {"column count over", number("columnCount", AUILib::kMaxFormTableLines + 1), false},
        {"handle width over", number("handleWidth", AUILib::kMaxFormHandleWidth + 1), false},
        {"margin over", number("leftMargin", extent + 1), false},
        {"spacing over", number("spacing", extent + 1), false},
        {"number beyond int", form("<property name=\"rowCount\"><number>99999999999</number></property>"), false},
        {"other numbers are free", number("maximum", 2000000000), true},
        {"geometry at the limit", form("<property name=\"geometry\"><rect><x>-9999999</x><y>9999999</y><width>" +
                                       QByteArray::number(extent) + "</width><height>" + QByteArray::number(extent) +
                                       "</height></rect></property>"),
         true},
        {"geometry over", form("<property name=\"geometry\"><rect><width>1</width><height>" +
                               QByteArray::number(extent + 1) + "</height></rect></property>"),
         false},
        {"minimum size over", size("minimumSize", "size", extent + 1, 1), false},
        {"spacer size hint over", size("sizeHint", "size", 1, extent + 1), false},
        {"no maximum size", size("maximumSize", "size", 16777215, 16777215), true},
        {"a size after the maximum size", form("<property name=\"maximumSize\"><size><width>16777215</width>"
                                               "</size></property><property name=\"baseSize\"><size><width>" +
                                               QByteArray::number(extent + 1) + "</width></size></property>"),
         false},
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
