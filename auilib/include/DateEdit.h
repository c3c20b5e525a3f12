// DateEdit: the date field. The application reads and writes the value as a
// KwDateTime in local time and may give the drop-down button a picture.
#pragma once

#include "AUILibEnums.h"
#include "BaseGUIObject.h"

#include <cstdint>
#include <memory>
#include <string>

namespace AUILib {

// A local date and time to the second: no milliseconds, no time zone.
struct KwDateTime {
    uint16_t year = 0;
    uint16_t month = 0;   // 1-12
    uint16_t day = 0;     // 1-31
    uint16_t hour = 0;    // 0-23
    uint16_t minute = 0;  // 0-59
    uint16_t second = 0;  // 0-59
};

inline bool operator==(const KwDateTime& a, const KwDateTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}
inline bool operator!=(const KwDateTime& a, const KwDateTime& b) { return !(a == b); }

class DateEdit : public BaseGUIObject {
public:
    class impl;

    DateEdit();
    ~DateEdit() override;

    bool Create(QWidget* parent) override;
    Size IdealSize() override;
    std::shared_ptr<BaseImpl> GetBaseImpl() const override;
    SkinManager* GetSkinManager() override;

    // Shows the picture at path on the drop-down button; a path with no
    // file behind it clears the widget's style sheet.
    virtual void LoadPicture(const std::wstring& path);
    // Has no effect.
    virtual void LoadPicture(const unsigned char* data, int length, ImageTypes type);

    // False, changing nothing, for a date or time that does not exist and
    // once the widget is gone.
    bool SetDateTime(const KwDateTime& value);
    // All fields 0 once the widget is gone.
    KwDateTime GetDateTime() const;
    // The date edit widget, null once it is gone.
    QWidget* GetWndPtr();

    // Handlers of these must not delete the widget or its window at once:
    // end a dialog with Done, close() or deleteLater (see Signal.h).
    // Every change of the value, typed, stepped or set by code.
    Signal<KwDateTime> OnDateTimeChanged;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace AUILib
