#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace itm {

class RecordReader;

constexpr int kDeclarationLineFieldCount = 47;

// The declaration line of one payer for one month: 47 fields separated by
// single commas, texts between double quotes, numbers and codes bare, no line
// end. The month comes first as "%02d", the year as "%04d"; then the payer's
// code, legal form, address, bank, the amounts of the declaration, the
// representative and the liquidator data. The January 2006 declaration has no
// bankruptcy: its line carries the flag and the liquidator of a payer not in
// bankruptcy, as the main window stores the payer when that month is opened.
//
// Nothing is escaped: the payer's before-post rule has already turned every
// comma, apostrophe, double quote and control character in the stored texts
// into a blank and stored an empty text as one blank; the same clean-up is
// applied here again to texts that reached the database some other way.
// Integer columns are read with fieldWholeNumber (so a text that is no number
// and a real that is no whole number raise ConversionError, with the column's
// name), text columns with fieldText.
QString BuildDeclarationLine(const RecordReader& payer, const RecordReader& declaration);

// "IM%04d%02d.txt": IM200603.txt for March 2006.
QString DeclarationFileName(qint64 year, qint64 month);

// The bytes of a line or payer code as they go into the declaration file: the
// database's own text encoding (UTF-8, with bytes that are no UTF-8 given
// back as they were stored), so the stored bytes reach the file unchanged.
QByteArray DeclarationFileBytes(const QString& text);

// What the window says when a payer's records cannot make its line or its
// printed form: the payer's code, then the problem.
QString PayerRecordFault(const QString& cui, const QString& problem);

} // namespace itm
