#pragma once

#include <QString>

namespace itm {

// Whether text is a valid fiscal code: the registration code of an
// organisation (CUI, 2 to 9 digits) or the personal numeric code of a person
// (CNP, 13 digits), each ending in its control digit.
//
// The text is taken exactly as typed: nothing is trimmed and no country prefix
// is removed. Lengths 0, 1, 10, 11, 12 and 14 or more are refused without
// reading a character. For the other lengths every character the check reads
// goes through the strict whole-number conversion, so a character that is not
// a decimal digit raises ConversionError naming that character instead of
// answering: "RO1234567" raises, "RO12345678" (ten characters) is false.
bool IsValidFiscalCode(const QString& text);

} // namespace itm
