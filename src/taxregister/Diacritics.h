#pragma once

#include <QString>

namespace itm {

// The text with every accented letter replaced by its plain letter: both the
// cedilla and the comma-below forms of s and t (the register writes either),
// a breve, a circumflex. The program keeps its data without diacritics, as its
// users type it, so that names and places compare and print alike.
QString WithoutDiacritics(const QString& text);

// The form in which register texts are compared and stored here: without
// diacritics, upper case, inner runs of blanks reduced to one, none at the ends.
QString RegisterText(const QString& text);

} // namespace itm
