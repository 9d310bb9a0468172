#pragma once

#include <QString>

namespace itm::exchange {

// The text with every letter that carries a diacritic replaced by its plain
// letter (ă â -> a, î -> i, ș ş -> s, ț ţ -> t, capitals alike, and so on for
// the other Latin letters): every text of the program and of the declaration
// file is written without diacritics.
QString WithoutDiacritics(const QString& text);

} // namespace itm::exchange
