#pragma once

#include "exchange/TextDecoding.h"

#include <QList>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace itm::exchange {

// One record of a CSV file and the line of the file on which it starts (a
// quoted field may hold line breaks, so a record may span several lines).
class CsvRecord
{
public:
    int line = 0;

    int fieldCount() const { return int(m_ends.size()); }
    QStringView field(int index) const;
    QStringList fields() const;
    // Every field empty (a blank line, or a row of separators only).
    bool isEmpty() const { return m_text.isEmpty(); }

    void appendField(QStringView text);
    void squeeze();

private:
    // The fields one after the other in one string: a large file is a great
    // many small fields, and one allocation per record keeps it compact.
    QString m_text;
    QList<qsizetype> m_ends;
};

struct CsvError
{
    int line = 0;
    QString message;
};

// A CSV file as spreadsheets save it: the first record is the header.
struct CsvDocument
{
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = u',';
    QList<CsvRecord> records;
    std::optional<CsvError> error; // the file cannot be read; records are then empty
};

// Reads RFC 4180 CSV: fields separated by "," or ";" (whichever the header
// line holds more of outside quotes), a field in double quotes may hold the
// separator, line breaks and doubled quotes; records end in CR LF, LF or a lone
// CR. Fields are kept exactly, blanks included. Line breaks inside a quoted
// field are kept as LF. A quote that is never closed makes the file unreadable.
CsvDocument ReadCsv(const QByteArray& bytes);

} // namespace itm::exchange
