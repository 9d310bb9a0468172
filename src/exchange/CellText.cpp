#include "exchange/CellText.h"

#include "exchange/TextDecoding.h"

namespace itm::exchange {

namespace {

constexpr char16_t kRawByteBase = 0xDC00;

bool startsFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

// Apostrophes and then a character that starts a formula.
bool needsMark(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u'\'')
        ++i;
    return i < text.size() && startsFormula(text.at(i));
}

} // namespace

QString LettersOfStoredText(const QString& stored)
{
    QString letters = stored;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const char16_t unit = letters.at(i).unicode();
        // The low half of a character beyond U+FFFF can fall in the same range.
        if (unit < kRawByteBase + 0x80 || unit > kRawByteBase + 0xFF || (i > 0 && letters.at(i - 1).isHighSurrogate()))
            continue;
        letters[i] = Windows1250Letter(static_cast<unsigned char>(unit - kRawByteBase));
    }
    return letters;
}

QString CsvSafeText(const QString& text)
{
    return needsMark(text) ? u'\'' + text : text;
}

QString CsvCellText(QStringView field)
{
    if (field.startsWith(u'\'') && needsMark(field.mid(1)))
        return field.mid(1).toString();
    return field.toString();
}

} // namespace itm::exchange
