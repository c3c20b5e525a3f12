#include "NumericInputFilter.h"

#include "PromptsPopup.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <sstream>

namespace AUILib {

namespace {

// A character outside Latin-1 cannot stand in a char: it becomes 0.
char Latin1(QChar c) { return c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : '\0'; }

bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Only ASCII survives the validity test, so a narrow copy loses nothing.
std::string Narrow(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text)
        result.push_back(static_cast<char>(c));
    return result;
}

std::wstring Widen(const std::string& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (char c : text)
        result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return result;
}

bool HasNonZeroDigit(const std::string& text)
{
    for (char c : text) {
        if (c == '.')
            return false;
        if (c >= '1' && c <= '9')
            return true;
    }
    return false;
}

} // namespace

NumericInputFilter::NumericInputFilter()
{
    const QLocale locale;
    decimalSeparator = Latin1(locale.decimalPoint());
    minusSign = Latin1(locale.negativeSign());
}

void NumericInputFilter::SetInteger(bool enable, int min, int max, std::shared_ptr<PromptsPopup> invalid,
                                    std::shared_ptr<PromptsPopup> range)
{
    enabled = enable;
    integerMode = true;
    negativesAllowed = min < 0;
    intMin = min;
    intMax = max;
    invalidPopup = std::move(invalid);
    rangePopup = std::move(range);
}

void NumericInputFilter::SetFloating(bool enable, double min, double max, std::shared_ptr<PromptsPopup> invalid,
                                     std::shared_ptr<PromptsPopup> range, int decimalCount)
{
    enabled = enable;
    integerMode = false;
    negativesAllowed = min < 0;
    doubleMin = min;
    doubleMax = max;
    decimals = decimalCount;
    invalidPopup = std::move(invalid);
    rangePopup = std::move(range);
}

int NumericInputFilter::Mode() const
{
    if (!enabled)
        return 0;
    return integerMode ? 1 : 2;
}

bool NumericInputFilter::IsSeparator(wchar_t c) const
{
    return decimalSeparator != '\0' && c == static_cast<wchar_t>(static_cast<unsigned char>(decimalSeparator));
}

bool NumericInputFilter::IsMinus(wchar_t c) const
{
    return minusSign != '\0' && c == static_cast<wchar_t>(static_cast<unsigned char>(minusSign));
}

size_t NumericInputFilter::ValidPrefixLength(const std::wstring& text) const
{
    size_t start = 0;
    if (!text.empty() && negativesAllowed && IsMinus(text[0]))
        start = 1;
    int separators = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsAsciiDigit(c))
            continue;
        if (!integerMode && IsSeparator(c) && ++separators == 1)
            continue;
        return i;
    }
    return text.size();
}

bool NumericInputFilter::IsValidText(const std::wstring& text) const
{
    return !text.empty() && ValidPrefixLength(text) == text.size();
}

void NumericInputFilter::Filter(std::wstring& text, bool enforceLowerLimit) { Correct(text, enforceLowerLimit, false); }

size_t NumericInputFilter::FilterEdit(std::wstring& text, const std::wstring& before, bool enforceLowerLimit)
{
    size_t refused = 0;
    if (enabled && !text.empty() && !IsValidText(text) && (before.empty() || IsValidText(before)))
        refused = RefuseInserted(text, before);
    Correct(text, enforceLowerLimit, refused > 0);
    return refused;
}

size_t NumericInputFilter::RefuseInserted(std::wstring& text, const std::wstring& before) const
{
    const size_t shorter = std::min(text.size(), before.size());
    size_t head = 0;
    while (head < shorter && text[head] == before[head])
        ++head;
    size_t tail = 0;
    while (tail < shorter - head && text[text.size() - 1 - tail] == before[before.size() - 1 - tail])
        ++tail;
    // What stays of before on both sides is a valid number or empty (a cut
    // never adds a separator or moves the minus sign); each inserted
    // character is kept when the number stays valid with it. Decided per
    // character from what the kept text and the rest hold, so a long paste
    // is read once.
    const std::wstring rest = text.substr(text.size() - tail);
    std::wstring kept = text.substr(0, head);
    const bool restHasSeparator = std::any_of(rest.begin(), rest.end(), [this](wchar_t c) { return IsSeparator(c); });
    const bool restStartsWithMinus = !rest.empty() && negativesAllowed && IsMinus(rest[0]);
    bool separatorKept = std::any_of(kept.begin(), kept.end(), [this](wchar_t c) { return IsSeparator(c); });
    size_t refused = 0;
    for (size_t i = head; i < text.size() - tail; ++i) {
        const wchar_t c = text[i];
        // Nothing may stand before a leading minus sign.
        const bool beforeMinus = kept.empty() && restStartsWithMinus;
        bool fits = false;
        if (IsAsciiDigit(c))
            fits = !beforeMinus;
        else if (IsSeparator(c))
            fits = !integerMode && !beforeMinus && !separatorKept && !restHasSeparator;
        else if (IsMinus(c))
            fits = negativesAllowed && kept.empty() && !restStartsWithMinus;
        if (fits) {
            kept += c;
            separatorKept = separatorKept || IsSeparator(c);
        } else {
            ++refused;
        }
    }
    // Nothing of what was typed stays: the whole edit is refused, so what
    // it typed over stays too.
    const size_t typed = text.size() - tail - head;
    text = typed > 0 && refused == typed ? before : kept + rest;
    return refused;
}

void NumericInputFilter::Correct(std::wstring& text, bool enforceLowerLimit, bool refused)
{
    if (!enabled)
        return;
    if (text.empty()) {
        // Everything the user typed was refused.
        if (refused && invalidPopup)
            invalidPopup->Show(true, -1, -1);
        return;
    }
    // Everything from the first character that cannot belong to a number
    // on is cut, in one pass: a long paste is not re-read per character.
    const size_t valid = ValidPrefixLength(text);
    const bool rejected = refused || valid < text.size();
    text.resize(valid);
    if (!integerMode && decimals >= 0) {
        const auto separator = std::find_if(text.begin(), text.end(), [this](wchar_t c) { return IsSeparator(c); });
        if (separator != text.end()) {
            const size_t keep = static_cast<size_t>(separator - text.begin()) + 1 + static_cast<size_t>(decimals);
            text.resize(std::min(keep, text.size()));
        }
    }
    if (invalidPopup)
        invalidPopup->Show(rejected, -1, -1);
    if (text.empty())
        return;
    if (text.size() == 1 && IsMinus(text[0])) {
        if (rangePopup)
            rangePopup->Show(false, -1, -1);
        return;
    }
    const bool clamped = integerMode ? ClampInteger(text, enforceLowerLimit) : ClampFloating(text, enforceLowerLimit);
    if (rangePopup)
        rangePopup->Show(clamped, -1, -1);
}

// Numbers are parsed and written in the C locale with '.' and '-', whatever
// the C library's LC_NUMERIC says; the filter's own characters are mapped
// in and out around that.

bool NumericInputFilter::ClampInteger(std::wstring& text, bool enforceLowerLimit) const
{
    std::string digits = Narrow(text);
    const bool negative = IsMinus(text[0]);
    if (negative)
        digits[0] = '-';
    long long value = 0;
    std::istringstream in(digits);
    in.imbue(std::locale::classic());
    in >> value;
    const bool tooLarge = in.fail() && HasNonZeroDigit(negative ? digits.substr(1) : digits);
    if (in.fail() && !tooLarge)
        return false;
    // A value beyond int (or beyond long long) stands on the side of its
    // sign and is clamped to that side's limit.
    if (tooLarge)
        value = negative ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    auto write = [&](int limit) {
        std::wstring result = Widen(std::to_string(limit));
        if (limit < 0)
            result[0] = static_cast<wchar_t>(static_cast<unsigned char>(minusSign));
        text = result;
    };
    if (value > intMax) {
        write(intMax);
        return true;
    }
    if (value < intMin && (intMin < 0 || enforceLowerLimit)) {
        write(intMin);
        return true;
    }
    return false;
}

std::wstring NumericInputFilter::FormatClampedDouble(double value) const
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(6) << value;
    std::string written = out.str();
    const size_t point = written.find('.');
    // With no decimals the separator goes too: a limit is written whole.
    if (point != std::string::npos && decimals >= 0)
        written = written.substr(0, decimals == 0 ? point : point + 1 + static_cast<size_t>(decimals));
    std::wstring result = Widen(written);
    for (wchar_t& c : result) {
        if (c == L'.')
            c = static_cast<wchar_t>(static_cast<unsigned char>(decimalSeparator));
        else if (c == L'-')
            c = static_cast<wchar_t>(static_cast<unsigned char>(minusSign));
    }
    return result;
}

bool NumericInputFilter::ClampFloating(std::wstring& text, bool enforceLowerLimit) const
{
    std::string number = Narrow(text);
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == 0 && IsMinus(text[0]))
            number[0] = '-';
        else if (IsSeparator(text[i]))
            number[i] = '.';
    }
    const bool negative = !number.empty() && number[0] == '-';
    const std::string magnitude = negative ? number.substr(1) : number;
    bool hasDigit = false;
    for (char c : magnitude)
        hasDigit = hasDigit || (c >= '0' && c <= '9');
    if (!hasDigit)
        return false;  // a lone separator: nothing to compare yet
    double value = 0.0;
    std::istringstream in(number);
    in.imbue(std::locale::classic());
    in >> value;
    if (in.fail()) {
        // Too large for a double: the limit on its side. Too small in
        // magnitude: zero for the range check.
        if (HasNonZeroDigit(magnitude))
            value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        else
            value = 0.0;
    }
    if (std::fabs(doubleMax - 2147483647.0) < 0.01)
        return false;  // the caller's "no limits"
    if (value > doubleMax) {
        text = FormatClampedDouble(doubleMax);
        return true;
    }
    if (value < doubleMin && (doubleMin < 0 || enforceLowerLimit)) {
        text = FormatClampedDouble(doubleMin);
        return true;
    }
    return false;
}

} // namespace AUILib
