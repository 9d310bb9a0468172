#pragma once

#include <QString>

namespace itm {

// A field of a CSV listing (RFC 4180): quoted only when it holds a comma, a
// quote or a line break, its quotes doubled.
QString ListingCsvField(const QString& text);

// A stored text on one line of a listing: a line break or a tab would break
// the columns, so every control character (C0, DEL, C1) and the Unicode line
// and paragraph separators become one blank, as the declaration line's
// clean-up does.
QString ListingOneLine(const QString& text);

} // namespace itm
