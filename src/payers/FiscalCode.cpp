#include "payers/FiscalCode.h"

#include "store/StrictNumber.h"

#include <array>

namespace itm {

namespace {

constexpr qsizetype kPaddedCuiLength = 10;
constexpr qsizetype kCnpLength = 13;
constexpr std::array<int, 9> kCuiKey = { 7, 5, 3, 2, 1, 7, 5, 3, 2 };
constexpr std::array<int, 12> kCnpWeights = { 2, 7, 9, 1, 4, 6, 3, 5, 8, 2, 7, 9 };

// Each character goes through the program's one number conversion on its own,
// so a stray letter or blank reports itself in the conversion error; a
// character written with two UTF-16 units is reported whole.
qint64 digitAt(const QString& text, qsizetype index)
{
    // A plain digit, nearly every character of a code, converts as itself.
    const char16_t unit = text.at(index).unicode();
    if (unit >= u'0' && unit <= u'9')
        return unit - u'0';
    const bool pair
        = text.at(index).isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate();
    return StrToInt(text.mid(index, pair ? 2 : 1));
}

bool isValidCui(const QString& text)
{
    // Leading zeros weigh nothing, so the short codes are padded to the key's
    // length and the control digit always lands in the tenth place.
    const QString padded = QString(kPaddedCuiLength - text.size(), u'0') + text;
    qint64 sum = 0;
    for (qsizetype i = 0; i < qsizetype(kCuiKey.size()); ++i)
        sum += kCuiKey[i] * digitAt(padded, i);
    qint64 control = (sum * 10) % 11;
    if (control == 10)
        control = 0;
    return digitAt(padded, kPaddedCuiLength - 1) == control;
}

bool isValidCnp(const QString& text)
{
    qint64 sum = 0;
    for (qsizetype i = 0; i < qsizetype(kCnpWeights.size()); ++i)
        sum += kCnpWeights[i] * digitAt(text, i);
    const qint64 remainder = sum % 11;
    // The control character is converted even when the remainder is 10, so a
    // letter there raises rather than being compared with "1".
    const qint64 control = digitAt(text, kCnpLength - 1);
    const bool tenWrittenAsOne = remainder == 10 && text.at(kCnpLength - 1) == u'1';
    return tenWrittenAsOne || control == remainder;
}

} // namespace

bool IsValidFiscalCode(const QString& text)
{
    const qsizetype length = text.size();
    if (length >= 2 && length <= 9)
        return isValidCui(text);
    if (length == kCnpLength)
        return isValidCnp(text);
    return false;
}

} // namespace itm
