#include "exchange/TextDecoding.h"

#include "store/StoredText.h"

#include <algorithm>

namespace itm::exchange {

namespace {

// Bytes 0x80..0xFF of Windows-1250 (Qt's converters have no such code page).
// The five bytes the code page leaves undefined map to the control character
// of the same number, as Windows itself decodes them.
// clang-format off
constexpr char16_t windows1250High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

const QByteArray utf8Bom("\xEF\xBB\xBF");

bool startsWithUtf16Bom(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

// A text file never holds a NUL byte; in UTF-16 every Latin letter has one,
// on the odd places (little-endian) or on the even ones (big-endian).
bool looksLikeUtf16(const QByteArray& bytes)
{
    const qsizetype pairs = std::min<qsizetype>(bytes.size(), 1024) / 2;
    qsizetype zeroEven = 0;
    qsizetype zeroOdd = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        zeroEven += bytes.at(2 * i) == 0;
        zeroOdd += bytes.at(2 * i + 1) == 0;
    }
    return pairs > 0 && std::max(zeroEven, zeroOdd) * 4 >= pairs;
}

const QString utf16Refused
    = QStringLiteral("Fisierul este scris in UTF-16; salvati-l ca CSV in UTF-8 sau Windows-1250");

} // namespace

QString DecodeWindows1250(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = Windows1250Letter(static_cast<unsigned char>(byte));
    return text;
}

QChar Windows1250Letter(unsigned char byte)
{
    return QChar(byte < 0x80 ? char16_t(byte) : windows1250High[byte - 0x80]);
}

void TextDecoder::count(unsigned char byte)
{
    if (byte == '\r' || (byte == '\n' && !m_afterCr))
        ++m_line;
    m_afterCr = byte == '\r';
}

void TextDecoder::refuseMixed(int line)
{
    m_error = DecodingError { line,
        QStringLiteral("Fisierul amesteca litere UTF-8 cu litere Windows-1250 (de la aceasta linie); salvati-l din "
                       "nou intreg ca CSV UTF-8") };
}

QString TextDecoder::decode(const QByteArray& block, bool last)
{
    if (m_error)
        return QString();
    QByteArray bytes = m_carry + block;
    m_carry.clear();
    if (!m_started) {
        // The BOM and the look of UTF-16 need the first bytes together.
        if (bytes.size() < 1024 && !last) {
            m_carry = bytes;
            return QString();
        }
        m_started = true;
        if (bytes.startsWith(utf8Bom)) {
            m_encoding = TextEncoding::Utf8WithBom;
            m_mode = Mode::Utf8;
            // A file saved twice with a mark may begin with two.
            while (bytes.startsWith(utf8Bom))
                bytes.remove(0, utf8Bom.size());
        } else if (startsWithUtf16Bom(bytes) || looksLikeUtf16(bytes)) {
            m_encoding = TextEncoding::Utf16;
            m_error = DecodingError { 1, utf16Refused };
            return QString();
        }
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype end = 0;
    while (end < size) {
        // Nearly every byte is a plain letter: those are passed over in a
        // tight loop, only the line ends counted.
        const qsizetype plainStart = end;
        while (end < size && data[end] < 0x80 && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (end > plainStart)
            m_afterCr = false;
        if (end == size)
            break;
        const unsigned char byte = data[end];
        if (byte < 0x80) {
            count(byte);
            ++end;
            continue;
        }
        m_afterCr = false;
        const qsizetype length = Utf8SequenceLength(data + end, size - end);
        if (length < 0 && !last) {
            m_carry = bytes.mid(end);
            break;
        }
        if (length > 0) {
            if (m_mode == Mode::Windows1250) {
                refuseMixed(m_firstNotUtf8Line);
                return QString();
            }
            m_mode = Mode::Utf8;
            end += length;
            continue;
        }
        if (m_mode == Mode::Utf8) {
            refuseMixed(m_line);
            return QString();
        }
        if (m_mode == Mode::Undecided) {
            m_mode = Mode::Windows1250;
            m_encoding = TextEncoding::Windows1250;
            m_firstNotUtf8Line = m_line;
        }
        ++end;
    }
    // What came before the mode was decided is ASCII, the same in either.
    if (m_mode == Mode::Windows1250)
        return DecodeWindows1250(bytes.first(end));
    // A U+FEFF that a block begins with is a letter of the file.
    return Utf8Text(bytes.constData(), end);
}

QString EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 cu BOM");
    case TextEncoding::Windows1250:
        return QStringLiteral("Windows-1250");
    case TextEncoding::Utf16:
        return QStringLiteral("UTF-16");
    }
    return QString();
}

} // namespace itm::exchange
