#include "exchange/CsvReader.h"

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

void CsvRecord::squeeze()
{
    m_text.squeeze();
    m_ends.squeeze();
}

namespace {

QChar detectSeparator(const QString& text)
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

class Parser
{
public:
    Parser(const QString& text, QChar separator)
        : m_text(text)
        , m_separator(separator)
    {
    }

    // The next record, or nothing at the end of the text; sets m_error on an
    // unclosed quote.
    std::optional<CsvRecord> next()
    {
        if (m_pos >= m_text.size())
            return std::nullopt;
        CsvRecord record;
        record.line = m_line;
        QString field;
        bool quoted = false; // inside the quotes of a field
        bool fieldQuoted = false; // the field began with a quote
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (quoted) {
                if (c == u'"') {
                    if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
                        field += u'"';
                        ++m_pos;
                    } else {
                        quoted = false;
                    }
                } else if (c == u'\r' || c == u'\n') {
                    skipLineEnd(c);
                    field += u'\n';
                } else {
                    appendRun(field, [](QChar next) { return next == u'"' || next == u'\r' || next == u'\n'; });
                }
            } else if (c == u'"' && field.isEmpty() && !fieldQuoted) {
                // Only a quote that opens a field quotes it; anywhere else it is a letter.
                quoted = true;
                fieldQuoted = true;
            } else if (c == m_separator) {
                record.appendField(field);
                field.resize(0);
                fieldQuoted = false;
            } else if (c == u'\r' || c == u'\n') {
                skipLineEnd(c);
                record.appendField(field);
                record.squeeze();
                return record;
            } else {
                appendRun(field, [this](QChar next) { return next == m_separator || next == u'\r' || next == u'\n'; });
            }
        }
        if (quoted) {
            m_error = CsvError { record.line,
                QStringLiteral("Ghilimele neinchise: inregistrarea nu se termina pana la sfarsitul fisierului") };
            return std::nullopt;
        }
        record.appendField(field);
        record.squeeze();
        return record;
    }

    const std::optional<CsvError>& error() const { return m_error; }

private:
    // The character just read and those after it up to the next one that
    // ends the run, appended at once.
    template <typename EndsRun> void appendRun(QString& field, EndsRun endsRun)
    {
        const qsizetype start = m_pos - 1;
        while (m_pos < m_text.size() && !endsRun(m_text.at(m_pos)))
            ++m_pos;
        field += QStringView(m_text).mid(start, m_pos - start);
    }

    void skipLineEnd(QChar first)
    {
        if (first == u'\r' && m_pos < m_text.size() && m_text.at(m_pos) == u'\n')
            ++m_pos;
        ++m_line;
    }

    const QString& m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
    std::optional<CsvError> m_error;
};

} // namespace

CsvDocument ReadCsv(const QByteArray& bytes)
{
    CsvDocument document;
    document.encoding = DetectTextEncoding(bytes);
    const std::optional<QString> text = DecodeText(bytes, document.encoding);
    if (!text) {
        document.error = CsvError { 1,
            QStringLiteral("Fisierul este scris in UTF-16; salvati-l ca CSV in UTF-8 sau Windows-1250") };
        return document;
    }
    document.separator = detectSeparator(*text);
    Parser parser(*text, document.separator);
    while (auto record = parser.next())
        document.records.append(std::move(*record));
    if (parser.error()) {
        document.records.clear();
        document.error = parser.error();
    }
    return document;
}

} // namespace itm::exchange
