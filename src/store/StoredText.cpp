#include "store/StoredText.h"

namespace itm {

namespace {

constexpr char16_t kRawByteBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at bytes[0], 0 when none starts
// there (a stray continuation byte, an overlong form, a surrogate, a sequence
// cut short or beyond U+10FFFF).
qsizetype validSequenceLength(const unsigned char* bytes, qsizetype available)
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
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return 0;
    }
    return length;
}

bool isRawByte(char16_t unit)
{
    return unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xFF;
}

} // namespace

QString StoredTextFromBytes(const char* bytes, qsizetype size)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    QString text;
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype length = validSequenceLength(data + pos, size - pos);
        if (length > 0) {
            pos += length;
            continue;
        }
        text += QString::fromUtf8(bytes + start, pos - start);
        text += QChar(char16_t(kRawByteBase + data[pos]));
        ++pos;
        start = pos;
    }
    if (start == 0)
        return QString::fromUtf8(bytes, size);
    text += QString::fromUtf8(bytes + start, size - start);
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

QString BlankSeparators(const QString& text)
{
    QString cleaned = text;
    for (QChar& c : cleaned) {
        const char16_t unit = c.unicode();
        // C0 and C1 controls (NEL among them) and the line and paragraph
        // separators: each ends a line for some reader.
        if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029 || unit == u'\''
            || unit == u'"' || unit == u',')
            c = u' ';
    }
    return cleaned;
}

} // namespace itm
