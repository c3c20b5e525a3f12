// The implementation of Label: watches its widget (deletes it only if it
// goes while the widget was never placed), keeps the text as given and the
// decorations that decide what the widget shows, and owns the GIF movie
// through the widget (the movie is the label's child, its byte buffer the
// movie's).
#pragma once

#include "BaseImplQt.h"
#include "ControlLifetime.h"
#include "Label.h"
#include "LabelQt.h"

#include <QMovie>
#include <QPixmap>
#include <QPointer>
#include <QSize>

#include <string>

namespace AUILib {

class Label::impl : public BaseImplQt {
public:
    impl();
    ~impl() override;

    QWidget* GetWndPtr() override;
    LabelQt* GetWidget() const { return widget_.data(); }
    // A disabled label with a text colour shows it lightened.
    void Enable(bool enable, bool recursive) override;
    FontData GetFont() override;

    void SetText(const std::wstring& text);
    std::wstring GetText() const;
    void SetTextAlign(TextAlign align);
    void SetLineSpacing(int percent);
    void SetWordWrap(bool wrap);
    void TruncateTextToEllipses(bool truncate);
    void SetBackgroundColor(int colour);
    void SetTextColor(int colour);
    int GetBackgroundColor() const { return backgroundColour_; }
    int GetTextColor() const { return textColour_; }
    int GetLineSpacing() const { return lineSpacing_; }
    bool IsTruncating() const { return truncate_; }
    bool IsWordWrap() const { return wordWrap_; }

    void LoadPicture(const std::wstring& path, ScalePicture mode, int iconSize);
    void LoadPicture(const unsigned char* data, int length, ImageTypes type, ScalePicture mode, int iconSize);
    // The movie the label shows, null when none.
    QMovie* GetMovie() const { return movie_.data(); }
    // The label's movie becomes next (may be null); the earlier one goes.
    void ReplaceMovie(QMovie* next);

private:
    // The alignment piece of the paragraph style for the label's alignment.
    QString AlignmentStyle() const;
    QString Paragraph(const QString& text, bool withAlignment) const;
    void ApplyForeground(const QColor& colour);
    // The edge an icon is chosen for.
    int IconEdge(int iconSize) const;
    QSize TargetSize(ScalePicture mode);
    // Scales and (when show) shows the picture; the scaled size, (0, 0) for
    // nothing.
    QSize ShowPicture(const QPixmap& picture, ScalePicture mode, QSize size, bool show);
    void ShowMovie(QMovie* movie, QSize size);
    int backgroundColour_ = -1;
    int textColour_ = -1;
    bool wordWrap_ = false;
    std::wstring text_;
    bool truncate_ = false;
    int lineSpacing_ = -1;
    QPointer<QMovie> movie_;
    ControlLifetime<LabelQt> widget_;
};

} // namespace AUILib
