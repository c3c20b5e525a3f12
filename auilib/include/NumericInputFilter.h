// The numbers-only mode of the single-line edit and the combo box's edit
// field: every new text of the field goes through Filter, which cuts what
// cannot belong to a number, shortens the decimals, clamps the value into
// the limits and shows or hides the caller's two warning balloons.
#pragma once

#include <cfloat>
#include <climits>
#include <memory>
#include <string>

namespace AUILib {

class PromptsPopup;

struct NumericInputFilter {
    // Reads the decimal separator and the minus sign of the default QLocale
    // now, so a later QLocale::setDefault does not change this filter.
    NumericInputFilter();

    // Integer mode; negatives are accepted exactly when min < 0.
    void SetInteger(bool enable, int min, int max, std::shared_ptr<PromptsPopup> invalidPopup,
                    std::shared_ptr<PromptsPopup> rangePopup);
    // Floating mode with at most decimals digits after the separator.
    void SetFloating(bool enable, double min, double max, std::shared_ptr<PromptsPopup> invalidPopup,
                     std::shared_ptr<PromptsPopup> rangePopup, int decimals);
    // 0 off, 1 integers, 2 floating-point numbers.
    int Mode() const;

    // Whether text is a number or the start of one (a lone minus sign).
    bool IsValidText(const std::wstring& text) const;
    // Corrects text in place. A positive lower limit is enforced only with
    // enforceLowerLimit, so that "1" can still grow into "15" with a minimum
    // of 10; a negative one always is.
    void Filter(std::wstring& text, bool enforceLowerLimit);
    // Filter for a text the user made out of before (a valid or empty
    // text): each character the edit put in that cannot belong to the
    // number is refused alone, and the rest of the user's text stays.
    // Returns how many characters were refused.
    size_t FilterEdit(std::wstring& text, const std::wstring& before, bool enforceLowerLimit);

    bool enabled = false;
    int intMin = INT_MIN;
    int intMax = INT_MAX;
    double doubleMin = DBL_MIN;
    double doubleMax = DBL_MAX;
    bool negativesAllowed = true;
    bool integerMode = true;
    int decimals = 2;
    // Latin-1; 0 (a character outside Latin-1) matches nothing.
    char decimalSeparator = '.';
    char minusSign = '-';
    std::shared_ptr<PromptsPopup> invalidPopup;
    std::shared_ptr<PromptsPopup> rangePopup;

private:
    bool IsSeparator(wchar_t c) const;
    bool IsMinus(wchar_t c) const;
    // How many leading characters of text form a number or its start.
    size_t ValidPrefixLength(const std::wstring& text) const;
    // Removes the characters between the common start and end of text and
    // before that cannot stand where they are; returns how many.
    size_t RefuseInserted(std::wstring& text, const std::wstring& before) const;
    // Filter's steps after the characters refused by the caller.
    void Correct(std::wstring& text, bool enforceLowerLimit, bool refused);
    // Range check; false when the value is inside the limits (or no number).
    bool ClampInteger(std::wstring& text, bool enforceLowerLimit) const;
    bool ClampFloating(std::wstring& text, bool enforceLowerLimit) const;
    std::wstring FormatClampedDouble(double value) const;
};

} // namespace AUILib
