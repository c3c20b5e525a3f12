#include "Label.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ChangeFlagGuard.h"
#include "FontDataQt.h"
#include "IcoBytes.h"
#include "LabelImplQt.h"
#include "WideQt.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QRegularExpression>

namespace AUILib {

namespace {

// The text up to its first NUL: what Qt is given.
QString ShownText(const std::wstring& text)
{
    const size_t end = text.find(L'\0');
    return ToQString(end == std::wstring::npos ? text : text.substr(0, end));
}

QColor Opaque(int colour) { return QColor(static_cast<QRgb>(static_cast<unsigned int>(colour))); }

} // namespace

Label::impl::impl() : widget_(new LabelQt) {}

Label::impl::~impl() = default;

QWidget* Label::impl::GetWndPtr() { return widget_.data(); }

QString Label::impl::AlignmentStyle() const
{
    const Qt::Alignment alignment = widget_ ? widget_->alignment() : Qt::Alignment();
    if (alignment & Qt::AlignRight)
        return QStringLiteral(" text-align: right;");
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral(" text-align: center;");
    return QStringLiteral(" text-align: left;");
}

// The text is escaped: inside the paragraph it is shown as given, never read
// as markup.
QString Label::impl::Paragraph(const QString& text, bool withAlignment) const
{
    return QStringLiteral("<p style=\"white-space: pre-wrap;") + (withAlignment ? AlignmentStyle() : QString()) +
           QStringLiteral(" line-height:") + QString::number(lineSpacing_) + QStringLiteral("%\">") +
           text.toHtmlEscaped() + QStringLiteral("</p>");
}

void Label::impl::SetText(const std::wstring& text)
{
    text_ = text;
    LabelQt* label = widget_;
    if (!label)
        return;
    if (!truncate_) {
        const QString shown = ShownText(text_);
        label->setText(lineSpacing_ >= 0 ? Paragraph(shown, true) : shown);
        return;
    }
    ChangeFlagGuard guard(*this);
    const QFontMetrics metrics(label->font());
    const int width = label->width();
    const QString whole = ShownText(text_);
    // Every line narrower than the label adds its width, so a text of several
    // short lines keeps them all; the first line that does not fit ends it.
    int sum = 0;
    for (const QString& line : whole.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts)) {
        const int lineWidth = metrics.boundingRect(line).width();
        if (lineWidth >= width)
            break;
        sum += lineWidth;
    }
    const QString elided = metrics.elidedText(whole, Qt::ElideRight, sum + width);
    label->setText(lineSpacing_ >= 0 ? Paragraph(elided, false) : elided);
}

std::wstring Label::impl::GetText() const
{
    if (!text_.empty() && (truncate_ || lineSpacing_ >= 0))
        return text_;
    LabelQt* label = widget_;
    return label ? ToWide(label->text()) : std::wstring();
}

void Label::impl::SetTextAlign(TextAlign align)
{
    LabelQt* label = widget_;
    if (!label)
        return;
    label->setAlignment(align == TextAlignLeft ? Qt::AlignLeft
                                               : align == TextAlignCenter ? Qt::AlignHCenter : Qt::AlignRight);
    if (lineSpacing_ >= 0)
        SetText(GetText());
}

void Label::impl::SetLineSpacing(int percent)
{
    const std::wstring text = GetText();
    lineSpacing_ = percent;
    SetText(text);
}

void Label::impl::SetWordWrap(bool wrap)
{
    wordWrap_ = wrap;
    LabelQt* label = widget_;
    if (!label)
        return;
    if (wrap && truncate_) {
        truncate_ = false;
        ChangeFlagGuard guard(*this);
        if (text_.empty())
            text_ = GetText();
        SetText(text_);
    }
    label->setWordWrap(wordWrap_);
}

void Label::impl::TruncateTextToEllipses(bool truncate)
{
    if (truncate == truncate_)
        return;
    truncate_ = truncate;
    LabelQt* label = widget_;
    if (!label)
        return;
    if (truncate) {
        wordWrap_ = false;
        label->setWordWrap(false);
    }
    ChangeFlagGuard guard(*this);
    if (text_.empty())
        text_ = GetText();
    SetText(text_);
}

void Label::impl::ApplyForeground(const QColor& colour)
{
    LabelQt* label = widget_;
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setBrush(QPalette::All, label->foregroundRole(), QBrush(colour));
    label->setPalette(palette);
}

void Label::impl::SetBackgroundColor(int colour)
{
    backgroundColour_ = colour;
    LabelQt* label = widget_;
    if (!label)
        return;
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setBrush(QPalette::All, label->backgroundRole(), QBrush(Opaque(colour)));
    label->setPalette(palette);
}

void Label::impl::SetTextColor(int colour)
{
    textColour_ = colour;
    if (widget_)
        ApplyForeground(Opaque(colour));
}

void Label::impl::Enable(bool enable, bool recursive)
{
    if (textColour_ != -1 && widget_) {
        QColor colour = Opaque(textColour_);
        if (!enable) {
            // Three quarters of the way to white reads as disabled on any
            // text colour.
            const auto lighten = [](int c) { return static_cast<int>(c + (255 - c) * 0.75); };
            colour = QColor(lighten(colour.red()), lighten(colour.green()), lighten(colour.blue()));
        }
        ApplyForeground(colour);
    }
    BaseImplQt::Enable(enable, recursive);
}

FontData Label::impl::GetFont()
{
    LabelQt* label = widget_;
    return label ? ShownFontData(label->font()) : FontData();
}

int Label::impl::IconEdge(int iconSize) const
{
    if (iconSize >= 1)
        return iconSize;
    return qMin(widget_->width(), widget_->height());
}

QSize Label::impl::TargetSize(ScalePicture mode)
{
    if (mode == ScaleToSize) {
        const Size ideal = IdealSize();
        return QSize(ideal.width, ideal.height);
    }
    return widget_->size();
}

void Label::impl::ReplaceMovie(QMovie* next)
{
    QPointer<QMovie> previous = movie_;
    movie_ = next;
    if (previous && previous.data() != next)
        delete previous.data();
}

QSize Label::impl::ShowPicture(const QPixmap& picture, ScalePicture mode, QSize size, bool show)
{
    if (picture.isNull())
        return QSize(0, 0);
    const QPixmap scaled = AUILibUtils::ScaleBitmap(picture, mode, size);
    if (scaled.isNull())
        return QSize(0, 0);
    if (show) {
        widget_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        widget_->setPixmap(scaled);
        ReplaceMovie(nullptr);
    }
    return scaled.size();
}

void Label::impl::ShowMovie(QMovie* movie, QSize size)
{
    LabelQt* label = widget_;
    movie->setCacheMode(QMovie::CacheAll);
    const int ratio = qMax(1, label->devicePixelRatio());
    movie->setScaledSize(QSize(size.width() / ratio, size.height() / ratio));
    movie->jumpToFrame(0);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setMovie(movie);
    ReplaceMovie(movie);
}

void Label::impl::LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize)
{
    LabelQt* label = widget_;
    if (!label)
        return;
    const QString file = ToQString(path);
    const QString suffix = QFileInfo(file).completeSuffix().toUpper();
    QPixmap picture;
    if (suffix == QLatin1String("ICO")) {
        picture = AUILibUtils::SelectIcon(QIcon(file), IconEdge(iconSize));
    } else {
        picture.load(file);
        picture.setDevicePixelRatio(label->devicePixelRatioF());
    }
    const bool gif = suffix == QLatin1String("GIF");
    const QSize size = ShowPicture(picture, mode, TargetSize(mode), !gif);
    if (!gif)
        return;
    auto* movie = new QMovie(file, QByteArray(), label);
    if (!movie->isValid()) {
        delete movie;
        return;
    }
    ShowMovie(movie, size);
}

void Label::impl::LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode,
                              int iconSize)
{
    LabelQt* label = widget_;
    if (!label)
        return;
    if (!data) {
        label->clear();
        ReplaceMovie(nullptr);
        return;
    }
    if (length < 1)
        return;
    QPixmap picture;
    if (type == ImageICO) {
        picture = AUILibUtils::SelectIcon(IconFromIcoBytes(data, length), IconEdge(iconSize));
    } else {
        picture.loadFromData(data, static_cast<uint>(length), AUILibUtils::ImageTypeToStr(type).c_str());
        picture.setDevicePixelRatio(label->devicePixelRatioF());
    }
    if (picture.isNull())
        return;
    const bool gif = type == ImageGIF;
    const QSize size = ShowPicture(picture, mode, TargetSize(mode), !gif);
    if (!gif)
        return;
    auto* movie = new QMovie(label);
    auto* buffer = new QBuffer(movie);
    buffer->setData(reinterpret_cast<const char*>(data), length);
    buffer->open(QIODevice::ReadOnly);
    movie->setDevice(buffer);
    if (!movie->isValid()) {
        delete movie;
        return;
    }
    ShowMovie(movie, size);
}

Label::Label() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeLabel); }

Label::~Label() = default;

bool Label::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size Label::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> Label::GetBaseImpl() const { return impl_; }

SkinManager* Label::GetSkinManager() { return GetGlobalSkinManager(); }

void Label::SetFont(FontData& font)
{
    LabelQt* label = impl_->GetWidget();
    if (!label)
        return;
    QFont qfont = label->font();
    MergeFontStyle(qfont, font);
    if (!font.faceName.empty())
        qfont.setFamily(ShownText(font.faceName));
    label->setFont(qfont);
}

void Label::SetTextAlign(TextAlign align) { impl_->SetTextAlign(align); }

TextAlign Label::GetTextAlign()
{
    LabelQt* label = impl_->GetWidget();
    if (!label)
        return TextAlignLeft;
    const Qt::Alignment alignment = label->alignment();
    if (alignment & Qt::AlignRight)
        return TextAlignRight;
    if (alignment & Qt::AlignHCenter)
        return TextAlignCenter;
    return TextAlignLeft;
}

void Label::SetVCenter(bool center)
{
    LabelQt* label = impl_->GetWidget();
    if (!label)
        return;
    // The other vertical flag goes first: with both set, Qt would keep the
    // label centred after SetVCenter(false).
    const Qt::Alignment horizontal = label->alignment() & ~Qt::AlignVertical_Mask;
    label->setAlignment(horizontal | (center ? Qt::AlignVCenter : Qt::AlignTop));
}

bool Label::GetVCenter()
{
    LabelQt* label = impl_->GetWidget();
    return label && (label->alignment() & Qt::AlignVCenter);
}

void Label::SetBackgroundColor(int colour) { impl_->SetBackgroundColor(colour); }

int Label::GetBackgroundColor() { return impl_->GetBackgroundColor(); }

void Label::SetTextColor(int colour) { impl_->SetTextColor(colour); }

int Label::GetTextColor() { return impl_->GetTextColor(); }

FontData Label::GetFont() { return impl_->GetFont(); }

void Label::LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize)
{
    impl_->LoadPicture(path, mode, iconSize);
}

void Label::LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int iconSize)
{
    impl_->LoadPicture(data, length, type, mode, iconSize);
}

bool Label::PlayGif()
{
    LabelQt* label = impl_->GetWidget();
    QMovie* movie = label ? label->movie() : nullptr;
    if (!movie || !movie->isValid())
        return false;
    movie->start();
    return true;
}

bool Label::StopGif()
{
    LabelQt* label = impl_->GetWidget();
    QMovie* movie = label ? label->movie() : nullptr;
    if (!movie || !movie->isValid())
        return false;
    movie->stop();
    return true;
}

void Label::DrawTxt(const std::wstring& text)
{
    LabelQt* label = impl_->GetWidget();
    if (!label)
        return;
    QPixmap picture(label->size());
    if (picture.isNull())
        return;
    picture.fill(label->palette().window().color());
    QPainter painter(&picture);
    painter.setFont(label->font());
    painter.drawText(QRect(0, 0, label->width(), label->height()), static_cast<int>(label->alignment()),
                     ShownText(text));
    painter.end();
    label->setPixmap(picture);
    impl_->ReplaceMovie(nullptr);
}

void Label::SetText(const std::wstring& text) { impl_->SetText(text); }

std::wstring Label::GetText() const { return impl_->GetText(); }

void Label::SetToolTip(const std::wstring& text)
{
    if (LabelQt* label = impl_->GetWidget())
        label->setToolTip(ToQString(text));
}

std::wstring Label::GetToolTip() const
{
    LabelQt* label = impl_->GetWidget();
    return label ? ToWide(label->toolTip()) : std::wstring();
}

void Label::SetBorder()
{
    if (LabelQt* label = impl_->GetWidget())
        label->setFrameShape(QFrame::Box);
}

void Label::SetWordWrap(bool wrap) { impl_->SetWordWrap(wrap); }

void Label::SetLineSpacing(int percent) { impl_->SetLineSpacing(percent); }

void Label::TruncateTextToEllipses(bool truncate) { impl_->TruncateTextToEllipses(truncate); }

QWidget* Label::GetWndPtr() { return impl_->GetWndPtr(); }

} // namespace AUILib
