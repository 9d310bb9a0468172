#include "store/StoredText.h"

#include <algorithm>
#include <cstring>

namespace itm {

namespace {

constexpr char16_t kRawByteBase = 0xDC00;

bool isRawByte(char16_t unit)
{
    return unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xFF;
}

} // namespace

qsizetype Utf8SequenceLength(const unsigned char* bytes, qsizetype available)
{
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (qsizetype i = 1; i < length; ++i) {
        if (i >= available)
            return -1;
        const unsigned char lowest = i == 1 ? low : 0x80;
        const unsigned char highest = i == 1 ? high : 0xBF;
        if (bytes[i] < lowest || bytes[i] > highest)
            return 0;
    }
    return length;
}

QString Utf8Text(const char* bytes, qsizetype size)
{
    static constexpr char byteOrderMark[] = "\xEF\xBB\xBF";
    qsizetype marks = 0;
    while (size - 3 * marks >= 3 && std::memcmp(bytes + 3 * marks, byteOrderMark, 3) == 0)
        ++marks;
    if (marks == 0)
        return QString::fromUtf8(bytes, size);
    // QString::fromUtf8 drops one at the very start only: the marks are
    // counted and put back in front of the rest.
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(bytes + 3 * marks, size - 3 * marks);
}

QString StoredTextFromBytes(const char* bytes, qsizetype size)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    QString text;
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < size) {
        // A sequence cut short by the end of the text is no letter either.
        const qsizetype length = qMax<qsizetype>(Utf8SequenceLength(data + pos, size - pos), 0);
        if (length > 0) {
            pos += length;
            continue;
        }
        text += Utf8Text(bytes + start, pos - start);
        text += QChar(char16_t(kRawByteBase + data[pos]));
        ++pos;
        start = pos;
    }
    if (start == 0)
        return Utf8Text(bytes, size);
    text += Utf8Text(bytes + start, size - start);
    return text;
}

QByteArray StoredTextBytes(const QString& text)
{
    qsizetype start = 0;
    QByteArray bytes;
    for (qsizetype pos = 0; pos < text.size(); ++pos) {
        const char16_t unit = text.at(pos).unicode();
        // The low half of a character beyond U+FFFF can fall in the same range.
        if (!isRawByte(unit) || (pos > 0 && text.at(pos - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(text).mid(start, pos - start).toUtf8();
        bytes += char(unit - kRawByteBase);
        start = pos + 1;
    }
    if (start == 0)
        return text.toUtf8();
    bytes += QStringView(text).mid(start).toUtf8();
    return bytes;
}

namespace {

// C0 and C1 controls (NEL among them) and the line and paragraph separators:
// each ends a line for some reader.
inline bool isSeparator(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029 || unit == u'\''
        || unit == u'"' || unit == u',';
}

// Where the first separator of the text is; its size when it holds none.
qsizetype firstSeparator(QStringView text)
{
    const char16_t* units = text.utf16();
    return std::find_if(units, units + text.size(), isSeparator) - units;
}

} // namespace

bool HoldsSeparator(QStringView text)
{
    return firstSeparator(text) < text.size();
}

QString BlankSeparators(const QString& text)
{
    // Nearly every text has none: it is returned as it is, without a copy.
    const qsizetype first = firstSeparator(text);
    if (first == text.size())
        return text;
    QString cleaned = text;
    char16_t* letters = reinterpret_cast<char16_t*>(cleaned.data());
    for (qsizetype i = first; i < cleaned.size(); ++i) {
        if (isSeparator(letters[i]))
            letters[i] = u' ';
    }
    return cleaned;
}

} // namespace itm
