#include "exchange/CsvReader.h"

#include <QBuffer>

namespace itm::exchange {

QStringView CsvRecord::field(int index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends.at(index - 1);
    return QStringView(m_text).mid(begin, m_ends.at(index) - begin);
}

QStringList CsvRecord::fields() const
{
    QStringList result;
    for (int i = 0; i < fieldCount(); ++i)
        result.append(field(i).toString());
    return result;
}

void CsvRecord::appendField(QStringView text)
{
    m_text += text;
    m_ends.append(m_text.size());
}

void CsvRecord::clear()
{
    line = 0;
    m_text.resize(0);
    m_ends.resize(0);
}

void CsvRecord::squeeze()
{
    m_text.squeeze();
    m_ends.squeeze();
}

namespace {

constexpr qint64 kBlockSize = 64 * 1024;

// The separator of a header line: the one it holds more of outside quotes.
QChar detectSeparator(QStringView text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
    }
    return semicolons > commas ? QChar(u';') : QChar(u',');
}

// Whether the text holds a line end outside quotes: the header line is whole.
bool holdsLineEnd(QStringView text)
{
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            return true;
    }
    return false;
}

} // namespace

CsvReader::CsvReader(QIODevice& device)
    : m_device(device)
{
}

// More text after what is parsed; false at the end of the file or on an error.
bool CsvReader::fill()
{
    m_text.remove(0, m_pos);
    m_pos = 0;
    while (!m_atEnd && !m_error) {
        const QByteArray block = m_device.read(kBlockSize);
        m_bytesRead += block.size();
        m_atEnd = block.isEmpty() || m_device.atEnd();
        const QString text = m_decoder.decode(block, m_atEnd);
        if (const auto& failure = m_decoder.error())
            m_error = CsvError { failure->line, failure->message };
        else if (!text.isEmpty()) {
            m_text += text;
            return true;
        }
    }
    return false;
}

bool CsvReader::atCharacter()
{
    return m_pos < m_text.size() || fill();
}

// Reads the header line whole to find the separator; a first line "sep=X"
// names it instead and is no record.
bool CsvReader::start()
{
    m_started = true;
    while (!holdsLineEnd(m_text) && m_text.size() <= kLongestRecord && fill()) { }
    if (m_error)
        return false;
    static const QString named = QStringLiteral("sep=");
    if (m_text.startsWith(named, Qt::CaseInsensitive) && m_text.size() > named.size()
        && (m_text.size() == named.size() + 1 || m_text.at(named.size() + 1) == u'\r'
            || m_text.at(named.size() + 1) == u'\n')) {
        m_separator = m_text.at(named.size());
        m_pos = named.size() + 1;
        if (m_pos < m_text.size()) {
            const QChar end = m_text.at(m_pos++);
            skipLineEnd(end);
        }
        return true;
    }
    m_separator = detectSeparator(m_text);
    return true;
}

void CsvReader::skipLineEnd(QChar first)
{
    if (first == u'\r' && atCharacter() && m_text.at(m_pos) == u'\n')
        ++m_pos;
    ++m_line;
}

bool CsvReader::tooLong(const CsvRecord& record, int line)
{
    if (record.textSize() <= kLongestRecord)
        return false;
    m_error = CsvError { line,
        QStringLiteral("Inregistrarea are peste %1 de caractere: fisierul nu este un tabel de contribuabili")
            .arg(kLongestRecord) };
    return true;
}

bool CsvReader::next(CsvRecord& record)
{
    if (m_error || (!m_started && !start()))
        return false;
    if (!atCharacter())
        return false;
    record.clear();
    record.line = m_line;
    bool quoted = false; // inside the quotes of a field
    bool fieldQuoted = false; // the field began with a quote
    // The character just read and those after it, in this block, up to the
    // next one that ends the run, appended at once.
    auto appendRun = [&](auto endsRun) {
        const qsizetype start = m_pos - 1;
        const QChar* text = m_text.constData();
        const qsizetype size = m_text.size();
        qsizetype pos = m_pos;
        while (pos < size && !endsRun(text[pos]))
            ++pos;
        m_pos = pos;
        record.appendToField(QStringView(text + start, pos - start));
    };
    const QChar separator = m_separator;
    while (atCharacter()) {
        const QChar c = m_text.at(m_pos++);
        if (quoted) {
            if (c == u'"') {
                if (atCharacter() && m_text.at(m_pos) == u'"') {
                    record.appendToField(u'"');
                    ++m_pos;
                } else {
                    quoted = false;
                }
            } else if (c == u'\r' || c == u'\n') {
                skipLineEnd(c);
                record.appendToField(u'\n');
            } else {
                appendRun([](QChar next) { return next == u'"' || next == u'\r' || next == u'\n'; });
            }
        } else if (c == u'"' && record.openFieldSize() == 0 && !fieldQuoted) {
            // Only a quote that opens a field quotes it; anywhere else it is a letter.
            quoted = true;
            fieldQuoted = true;
        } else if (c == m_separator) {
            record.endField();
            fieldQuoted = false;
        } else if (c == u'\r' || c == u'\n') {
            skipLineEnd(c);
            record.endField();
            return true;
        } else {
            appendRun([separator](QChar next) { return next == separator || next == u'\r' || next == u'\n'; });
        }
        if (tooLong(record, record.line))
            return false;
    }
    if (m_error)
        return false;
    if (quoted) {
        m_error = CsvError { record.line,
            QStringLiteral("Ghilimele neinchise: inregistrarea nu se termina pana la sfarsitul fisierului") };
        return false;
    }
    record.endField();
    return true;
}

CsvDocument ReadCsv(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    CsvDocument document;
    CsvRecord record;
    while (reader.next(record)) {
        // The kept copy takes only the room its fields need.
        document.records.append(record);
        document.records.last().squeeze();
    }
    document.encoding = reader.encoding();
    document.separator = reader.separator();
    if (reader.error()) {
        document.records.clear();
        document.error = reader.error();
    }
    return document;
}

} // namespace itm::exchange
