#pragma once

#include <QString>
#include <QStringView>

namespace itm::exchange {

// A stored text as a spreadsheet is to show it: each byte that a register
// made by an older program holds outside UTF-8 (kept as it is in the text,
// see StoredTextFromBytes) becomes the Windows-1250 letter it stands for, as
// the import reads such files, instead of a replacement mark.
QString LettersOfStoredText(const QString& stored);

// A text written into a CSV file, safe from spreadsheets that run any cell
// beginning with "=", "+", "-", "@", a tab or a CR as a formula: such a text
// gets a leading apostrophe, which spreadsheets show as a text mark. A text
// that already begins with apostrophes before such a character gets one more,
// so that CsvCellText() gives back every text exactly.
QString CsvSafeText(const QString& text);

// A CSV field as the text it holds: the one apostrophe CsvSafeText() added
// taken off again.
QString CsvCellText(QStringView field);

} // namespace itm::exchange
