#pragma once

#include "output/FormModel.h"

#include <QVariant>
#include <optional>

namespace itm {

struct FormData;
class RecordReader;

// Display text of a raw column value of the given type: an integer as its
// digits with "-" when negative, a real in the shortest general form with ".",
// a text as stored. A mask of zeros ("00", "0000") pads numbers with leading
// zeros to that many digits and is ignored for texts. A value that cannot be
// shown as its column's type gives an empty text.
QString DisplayText(const QVariant& value, ValueType type, const QString& mask = QString());

// The value of a column read with the strict whole-number conversion; nothing
// when the record or column is missing or the value is no whole number (a
// real with a fraction included). No value reads 0.
std::optional<qint64> ReadWholeNumber(const RecordReader* record, const QString& column);

// The raw value of a column; an invalid QVariant when the record or the column
// is missing.
QVariant ReadValue(const RecordReader* record, const QString& column);

// "a-b" over two columns of the record; nothing when either value is not a
// number or the difference does not fit.
std::optional<QVariant> EvaluateDifference(const RecordReader* record, const QString& expression);

// The text an element prints with the records of data: its caption, its
// paragraphs joined by line feeds, its column's display text or its
// expression's value. Never throws: what cannot be shown prints empty.
QString ElementText(const FormElement& element, const FormData& data);

} // namespace itm
