#pragma once

#include "exchange/TextDecoding.h"

class QIODevice;

#include <QList>
#include <QString>
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
    qsizetype textSize() const { return m_text.size(); }

    void appendField(QStringView text);
    // A field built piece by piece where it is kept (a large file is read
    // without a copy of each field): its text so far, then its end.
    void appendToField(QStringView text) { m_text += text; }
    void appendToField(QChar c) { m_text += c; }
    qsizetype openFieldSize() const { return m_text.size() - (m_ends.isEmpty() ? 0 : m_ends.constLast()); }
    void endField() { m_ends.append(m_text.size()); }
    // Empties the record for the next one read into it, keeping its memory:
    // a file of a million records reuses one.
    void clear();
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

// A CSV file read whole (tests, small files): the first record is the header.
struct CsvDocument
{
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = u',';
    QList<CsvRecord> records;
    std::optional<CsvError> error; // the file cannot be read; records are then empty
};

// Reads RFC 4180 CSV record by record, holding one block of the file and one
// record at a time, so that a file of any size costs the same memory: fields
// separated by "," or ";" (whichever the header line holds more of outside
// quotes, or the one a first line "sep=;" names, as spreadsheets write it), a
// field in double quotes may hold the separator, line breaks and doubled
// quotes; records end in CR LF, LF or a lone CR. Fields are kept exactly,
// blanks included. Line breaks inside a quoted field are kept as LF. The
// encoding is decided as TextDecoder does. A quote that is never closed, or
// a record longer than any payer's (a file that is no table), makes the file
// unreadable.
class CsvReader
{
public:
    explicit CsvReader(QIODevice& device);

    // The next record into record; false at the end of the file, or when the
    // file cannot be read (error()).
    bool next(CsvRecord& record);

    const std::optional<CsvError>& error() const { return m_error; }
    TextEncoding encoding() const { return m_decoder.encoding(); }
    QChar separator() const { return m_separator; }
    // Bytes of the file read so far, for progress.
    qint64 bytesRead() const { return m_bytesRead; }

    // The most characters one record may hold.
    static constexpr qsizetype kLongestRecord = 1 << 20;

private:
    bool fill();
    bool start();
    bool atCharacter(); // a character at m_pos, reading on when needed
    void skipLineEnd(QChar first);
    bool tooLong(const CsvRecord& record, int line);

    QIODevice& m_device;
    TextDecoder m_decoder;
    bool m_started = false;
    bool m_atEnd = false;
    QString m_text; // decoded, not yet parsed from m_pos
    qsizetype m_pos = 0;
    qint64 m_bytesRead = 0;
    QChar m_separator = u',';
    int m_line = 1;
    std::optional<CsvError> m_error;
};

CsvDocument ReadCsv(const QByteArray& bytes);

} // namespace itm::exchange
