// The label: what SetText shows and GetText answers under paragraph
// spacing, alignment and truncation; colours when disabled; pictures from
// files and bytes (PNG, ICO, GIF movie); vertical centring; font and
// DrawTxt.
#include "LabelsButtonsKit.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QMovie>
#include <QRegularExpression>
#include <QTextDocument>

#include <functional>

namespace {

using AUILib::Label;

QString Paragraph(const QString& style, const QString& text)
{
    return QStringLiteral("<p style=\"white-space: pre-wrap;") + style + QStringLiteral("\">") + text +
           QStringLiteral("</p>");
}

// The elided form the label must show: each line narrower than the label
// adds its width to the label's.
QString Elided(const QLabel& label, const QString& text)
{
    const QFontMetrics metrics(label.font());
    int sum = 0;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts)) {
        const int width = metrics.boundingRect(line).width();
        if (width >= label.width())
            break;
        sum += width;
    }
    return metrics.elidedText(text, Qt::ElideRight, sum + label.width());
}

const QString kLong = QStringLiteral("A rather long label text that cannot fit into eighty pixels");

struct TextCase {
    const char* why;
    std::function<void(Label&)> run;
    std::function<QString(const QLabel&)> shown;
    std::wstring got;
};

TEST(LabelText, ShownMarkupAndGetText)
{
    const std::vector<TextCase> cases = {
        {"defaults show the text as it is", [](Label& l) { l.SetText(L"Plain"); },
         [](const QLabel&) { return QStringLiteral("Plain"); }, L"Plain"},
        {"the text ends at its first NUL", [](Label& l) { l.SetText(std::wstring(L"Ab\0cd", 5)); },
         [](const QLabel&) { return QStringLiteral("Ab"); }, L"Ab"},
        {"spacing wraps a left paragraph",
         [](Label& l) {
             l.SetLineSpacing(120);
             l.SetText(L"Two words");
         },
         [](const QLabel&) { return Paragraph(QStringLiteral(" text-align: left; line-height:120%"), "Two words"); },
         L"Two words"},
        {"spacing 0 is a paragraph too",
         [](Label& l) {
             l.SetText(L"Zero");
             l.SetLineSpacing(0);
         },
         [](const QLabel&) { return Paragraph(QStringLiteral(" text-align: left; line-height:0%"), "Zero"); },
         L"Zero"},
        {"alignment after spacing re-applies the paragraph",
         [](Label& l) {
             l.SetLineSpacing(150);
             l.SetText(L"Mid");
             l.SetTextAlign(AUILib::TextAlignCenter);
         },
         [](const QLabel&) { return Paragraph(QStringLiteral(" text-align: center; line-height:150%"), "Mid"); },
         L"Mid"},
        {"right alignment before spacing",
         [](Label& l) {
             l.SetTextAlign(AUILib::TextAlignRight);
             l.SetText(L"Right");
             l.SetLineSpacing(110);
         },
         [](const QLabel&) { return Paragraph(QStringLiteral(" text-align: right; line-height:110%"), "Right"); },
         L"Right"},
        {"negative spacing drops the paragraph",
         [](Label& l) {
             l.SetLineSpacing(120);
             l.SetText(L"Back");
             l.SetLineSpacing(-1);
         },
         [](const QLabel&) { return QStringLiteral("Back"); }, L"Back"},
        {"truncation elides a long line to the width",
         [](Label& l) {
             l.TruncateTextToEllipses(true);
             l.SetText(kLong.toStdWString());
         },
         [](const QLabel& w) { return Elided(w, kLong); }, kLong.toStdWString()},
        {"truncation keeps short lines whole",
         [](Label& l) {
             l.TruncateTextToEllipses(true);
             l.SetText(L"One\nTwo");
         },
         [](const QLabel& w) { return Elided(w, QStringLiteral("One\nTwo")); }, L"One\nTwo"},
        {"truncation of a text set before",
         [](Label& l) {
             l.SetText(kLong.toStdWString());
             l.TruncateTextToEllipses(true);
         },
         [](const QLabel& w) { return Elided(w, kLong); }, kLong.toStdWString()},
        {"truncation with spacing: a paragraph without alignment",
         [](Label& l) {
             l.SetLineSpacing(130);
             l.TruncateTextToEllipses(true);
             l.SetText(kLong.toStdWString());
         },
         [](const QLabel& w) { return Paragraph(QStringLiteral(" line-height:130%"), Elided(w, kLong)); },
         kLong.toStdWString()},
        {"word wrap turns truncation off and shows the whole text",
         [](Label& l) {
             l.TruncateTextToEllipses(true);
             l.SetText(kLong.toStdWString());
             l.SetWordWrap(true);
         },
         [](const QLabel&) { return kLong; }, kLong.toStdWString()},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.why);
        TestWindow window;
        auto label = window.Place<Label>(10, 10, 80, 20);
        c.run(*label);
        const QLabel& widget = *WidgetOf(*label);
        EXPECT_EQ(widget.text(), c.shown(widget));
        EXPECT_EQ(label->GetText(), c.got);
    }
}

// What the paragraph shows is the text as given: markup characters in it
// are characters, not tags.
TEST(LabelText, SpacingShowsMarkupCharactersAsGiven)
{
    const QString given = QStringLiteral("Size < 5 MB & a<b>c \"q\"");
    for (const bool truncate : {false, true}) {
        SCOPED_TRACE(truncate ? "truncated" : "whole");
        TestWindow window;
        auto label = window.Place<Label>(10, 10, 400, 20);
        label->SetLineSpacing(120);
        label->TruncateTextToEllipses(truncate);
        label->SetText(given.toStdWString());
        QTextDocument shown;
        shown.setHtml(WidgetOf(*label)->text());
        EXPECT_EQ(shown.toPlainText(), given);
        EXPECT_EQ(label->GetText(), given.toStdWString());
    }
}

TEST(LabelText, TruncationAndWrapExcludeEachOther)
{
    TestWindow window;
    auto label = window.Place<Label>(10, 10, 80, 20);
    label->SetWordWrap(true);
    EXPECT_TRUE(WidgetOf(*label)->wordWrap());
    label->TruncateTextToEllipses(true);
    EXPECT_FALSE(WidgetOf(*label)->wordWrap());
    EXPECT_FALSE(ImplOf(*label).IsWordWrap());
    EXPECT_TRUE(ImplOf(*label).IsTruncating());
    label->SetWordWrap(true);
    EXPECT_FALSE(ImplOf(*label).IsTruncating());
    EXPECT_TRUE(WidgetOf(*label)->wordWrap());
    // The flag is down again after the change.
    EXPECT_FALSE(ImplOf(*label).IsChangeInProgress());
}

TEST(LabelText, AlignmentAndVerticalCentre)
{
    TestWindow window;
    auto label = window.Place<Label>(10, 10, 80, 40);
    label->SetVCenter(true);
    EXPECT_TRUE(label->GetVCenter());
    // Off after on: aligned to the top, no longer centred.
    label->SetVCenter(false);
    EXPECT_FALSE(label->GetVCenter());
    EXPECT_TRUE(WidgetOf(*label)->alignment() & Qt::AlignTop);
    EXPECT_FALSE(WidgetOf(*label)->alignment() & Qt::AlignVCenter);

    label->SetVCenter(true);
    EXPECT_FALSE(WidgetOf(*label)->alignment() & Qt::AlignTop);
    label->SetTextAlign(AUILib::TextAlignRight);
    EXPECT_EQ(label->GetTextAlign(), AUILib::TextAlignRight);
    EXPECT_FALSE(label->GetVCenter());  // one horizontal flag only
    label->SetTextAlign(AUILib::TextAlignCenter);
    EXPECT_EQ(label->GetTextAlign(), AUILib::TextAlignCenter);
    label->SetTextAlign(static_cast<AUILib::TextAlign>(9));
    EXPECT_EQ(label->GetTextAlign(), AUILib::TextAlignRight);
    label->SetTextAlign(AUILib::TextAlignLeft);
    EXPECT_EQ(label->GetTextAlign(), AUILib::TextAlignLeft);
}

QColor Foreground(const QLabel& label) { return label.palette().color(label.foregroundRole()); }

TEST(LabelColours, DisabledTextIsLightened)
{
    struct Case {
        int colour;
        QColor disabled;
    };
    for (const Case& c : {Case{0x000000, QColor(191, 191, 191)}, Case{0x6432C8, QColor(216, 203, 241)}}) {
        SCOPED_TRACE(c.colour);
        TestWindow window;
        auto label = window.Place<Label>(10, 10, 80, 20);
        label->SetTextColor(c.colour);
        EXPECT_EQ(label->GetTextColor(), c.colour);
        label->Enable(false, false);
        EXPECT_FALSE(WidgetOf(*label)->isEnabled());
        EXPECT_EQ(Foreground(*WidgetOf(*label)), c.disabled);
        EXPECT_EQ(label->GetTextColor(), c.colour);  // the stored colour stays
        label->Enable(true, false);
        EXPECT_EQ(Foreground(*WidgetOf(*label)), QColor(static_cast<QRgb>(c.colour)));
    }
    // Without a text colour only the enabled state changes.
    TestWindow window;
    auto plain = window.Place<Label>(10, 10, 80, 20);
    const QPalette before = WidgetOf(*plain)->palette();
    plain->Enable(false, false);
    EXPECT_EQ(WidgetOf(*plain)->palette(), before);
    EXPECT_EQ(plain->GetTextColor(), -1);
}

TEST(LabelColours, BackgroundAndTextColourIgnoreTheTopByte)
{
    TestWindow window;
    auto label = window.Place<Label>(10, 10, 80, 20);
    EXPECT_EQ(label->GetBackgroundColor(), -1);
    label->SetBackgroundColor(static_cast<int>(0x7F102030));
    label->SetTextColor(0x405060);
    QLabel& widget = *WidgetOf(*label);
    EXPECT_TRUE(widget.autoFillBackground());
    EXPECT_EQ(widget.palette().color(QPalette::Inactive, widget.backgroundRole()), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(widget.palette().color(QPalette::Disabled, widget.foregroundRole()), QColor(0x40, 0x50, 0x60));
    EXPECT_EQ(label->GetBackgroundColor(), static_cast<int>(0x7F102030));
}

TEST(LabelPictures, FromFilesAndBytes)
{
    PictureFiles files;
    const QByteArray png = PictureFiles::Bytes(files.png);
    const QByteArray ico = PictureFiles::Bytes(files.ico);
    const QByteArray gif = PictureFiles::Bytes(files.gif);
    enum class Shows { Nothing, Pixmap, Movie, Kept };
    struct Case {
        const char* why;
        std::function<void(Label&)> load;
        Shows shows;
        QSize size;
    };
    const std::vector<Case> cases = {
        {"PNG file", [&](Label& l) { l.LoadPicture(files.png, AUILib::ScaleKeep, 0); }, Shows::Pixmap, {16, 12}},
        {"PNG bytes",
         [&](Label& l) { l.LoadPicture(Data(png), png.size(), AUILib::ImagePNG, AUILib::ScaleKeep, 0); },
         Shows::Pixmap, {16, 12}},
        {"PNG scaled to the label's height",
         [&](Label& l) { l.LoadPicture(files.png, AUILib::ScaleToHeight, 0); }, Shows::Pixmap, {53, 40}},
        {"ICO file for 32 pixels", [&](Label& l) { l.LoadPicture(files.ico, AUILib::ScaleKeep, 32); },
         Shows::Pixmap, {32, 32}},
        {"ICO file for the label's smaller edge (40: the 32 image)",
         [&](Label& l) { l.LoadPicture(files.ico, AUILib::ScaleKeep, 0); }, Shows::Pixmap, {32, 32}},
        {"ICO bytes, every byte on disk before the icon reads them",
         [&](Label& l) { l.LoadPicture(Data(ico), ico.size(), AUILib::ImageICO, AUILib::ScaleKeep, 16); },
         Shows::Pixmap, {16, 16}},
        {"GIF file: a movie, no still picture",
         [&](Label& l) { l.LoadPicture(files.gif, AUILib::ScaleKeep, 0); }, Shows::Movie, {10, 8}},
        {"GIF bytes: a movie",
         [&](Label& l) { l.LoadPicture(Data(gif), gif.size(), AUILib::ImageGIF, AUILib::ScaleKeep, 0); },
         Shows::Movie, {10, 8}},
        {"missing file", [&](Label& l) { l.LoadPicture(files.missing, AUILib::ScaleKeep, 0); }, Shows::Kept, {}},
        {"bytes that do not decode",
         [&](Label& l) {
             const QByteArray junk("not a picture");
             l.LoadPicture(Data(junk), junk.size(), AUILib::ImagePNG, AUILib::ScaleKeep, 0);
         },
         Shows::Kept, {}},
        {"null data clears", [&](Label& l) { l.LoadPicture(nullptr, 0, AUILib::ImagePNG, AUILib::ScaleKeep, 0); },
         Shows::Nothing, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TestWindow window;
        auto label = window.Place<Label>(10, 10, 80, 40);
        label->SetText(L"Before");
        c.load(*label);
        QLabel& widget = *WidgetOf(*label);
        switch (c.shows) {
        case Shows::Nothing:
            EXPECT_TRUE(widget.text().isEmpty());
            EXPECT_TRUE(widget.pixmap(Qt::ReturnByValue).isNull());
            EXPECT_EQ(widget.movie(), nullptr);
            break;
        case Shows::Kept:
            EXPECT_EQ(widget.text(), QStringLiteral("Before"));
            EXPECT_TRUE(widget.pixmap(Qt::ReturnByValue).isNull());
            break;
        case Shows::Pixmap:
            EXPECT_FALSE(widget.pixmap(Qt::ReturnByValue).isNull());
            EXPECT_EQ(widget.pixmap(Qt::ReturnByValue).size(), c.size);
            EXPECT_EQ(widget.alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
            break;
        case Shows::Movie: {
            EXPECT_TRUE(widget.pixmap(Qt::ReturnByValue).isNull());
            QMovie* movie = widget.movie();
            ASSERT_NE(movie, nullptr);
            EXPECT_TRUE(movie->isValid());
            EXPECT_EQ(movie->state(), QMovie::NotRunning);
            EXPECT_EQ(movie->scaledSize(), c.size);
            EXPECT_EQ(movie->parent(), &widget);
            EXPECT_TRUE(label->PlayGif());
            EXPECT_EQ(movie->state(), QMovie::Running);
            EXPECT_TRUE(label->StopGif());
            EXPECT_EQ(movie->state(), QMovie::NotRunning);
            break;
        }
        }
    }
}

TEST(LabelPictures, GifMovieOwnership)
{
    PictureFiles files;
    TestWindow window;
    auto label = window.Place<Label>(10, 10, 80, 40);
    EXPECT_FALSE(label->PlayGif());  // no movie yet
    EXPECT_FALSE(label->StopGif());
    label->LoadPicture(files.png, AUILib::ScaleKeep, 0);
    EXPECT_FALSE(label->PlayGif());

    const QByteArray gif = PictureFiles::Bytes(files.gif);
    label->LoadPicture(Data(gif), gif.size(), AUILib::ImageGIF, AUILib::ScaleKeep, 0);
    QPointer<QMovie> first = WidgetOf(*label)->movie();
    ASSERT_FALSE(first.isNull());
    // The byte buffer belongs to the movie.
    EXPECT_EQ(first->device()->parent(), first.data());
    EXPECT_TRUE(label->PlayGif());
    // A reload deletes the earlier movie.
    label->LoadPicture(files.gif, AUILib::ScaleKeep, 0);
    EXPECT_TRUE(first.isNull());
    QPointer<QMovie> second = WidgetOf(*label)->movie();
    ASSERT_FALSE(second.isNull());
    label->LoadPicture(files.png, AUILib::ScaleKeep, 0);
    EXPECT_TRUE(second.isNull());
    EXPECT_FALSE(label->PlayGif());
}

TEST(LabelFont, SetAndGet)
{
    TestWindow window;
    auto label = window.Place<Label>(10, 10, 80, 20);
    AUILib::FontData font;
    font.bold = 1;
    font.italic = 1;
    font.underline = 1;
    font.pointSize = 14.0;
    label->SetFont(font);
    const AUILib::FontData got = label->GetFont();
    EXPECT_EQ(got.bold, 1);
    EXPECT_EQ(got.italic, 1);
    EXPECT_EQ(got.underline, 1);
    // The size of the font matched, near the one asked for.
    EXPECT_NEAR(got.pointSize, 14.0, 1.0);
    EXPECT_DOUBLE_EQ(WidgetOf(*label)->font().pointSizeF(), 14.0);
    EXPECT_FALSE(got.faceName.empty());
    EXPECT_EQ(got.symbolFamily, -1);

    // Unset fields keep what the font has.
    AUILib::FontData untouched;
    label->SetFont(untouched);
    EXPECT_EQ(label->GetFont().bold, 1);
    AUILib::FontData normal;
    normal.bold = 0;
    normal.underline = 0;
    label->SetFont(normal);
    EXPECT_EQ(label->GetFont().bold, 0);
    EXPECT_EQ(label->GetFont().underline, 0);
    EXPECT_EQ(label->GetFont().italic, 1);
}

TEST(LabelMisc, DrawTxtToolTipBorder)
{
    TestWindow window;
    auto label = window.Place<Label>(10, 10, 60, 20);
    label->SetTextAlign(AUILib::TextAlignCenter);
    label->DrawTxt(L"Drawn");
    const QPixmap picture = WidgetOf(*label)->pixmap(Qt::ReturnByValue);
    EXPECT_EQ(picture.size(), QSize(60, 20));
    // Some ink in the middle, the window colour at the corner.
    const QImage image = picture.toImage();
    const QColor window_ = WidgetOf(*label)->palette().window().color();
    EXPECT_EQ(image.pixelColor(0, 0), window_);
    bool ink = false;
    for (int x = 0; x < 60 && !ink; ++x)
        for (int y = 0; y < 20 && !ink; ++y)
            ink = image.pixelColor(x, y) != window_;
    EXPECT_TRUE(ink);

    label->SetToolTip(L"Tip \U0001F600");
    EXPECT_EQ(label->GetToolTip(), L"Tip \U0001F600");
    label->SetBorder();
    EXPECT_EQ(WidgetOf(*label)->frameShape(), QFrame::Box);
    EXPECT_EQ(label->GetWndPtr(), WidgetOf(*label));
    EXPECT_EQ(label->GetControlType(), AUILib::ControlTypeLabel);
}

} // namespace
