#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace itm::exchange {

// The encodings in which spreadsheets save a text file here: UTF-8, with or
// without the byte-order mark Windows programs put before it, or the Central
// European code page of Romanian Windows.
enum class TextEncoding
{
    Utf8,
    Utf8WithBom,
    Windows1250,
    Utf16, // "Unicode text" of a spreadsheet: recognised only to be refused
};

QString DecodeWindows1250(const QByteArray& bytes);
// The letter a byte of Windows-1250 stands for.
QChar Windows1250Letter(unsigned char byte);

QString EncodingName(TextEncoding encoding);

// Why a file cannot be read as text, and on which line.
struct DecodingError
{
    int line = 1;
    QString message;
};

// Decodes a file block by block, deciding its encoding as a whole: a BOM
// decides; otherwise a file that is valid UTF-8 (plain ASCII included) is
// UTF-8, and one in which no byte forms a UTF-8 letter is Windows-1250 (in
// which every byte is a letter). A file that mixes UTF-8 letters with bytes
// that are no UTF-8 (a UTF-8 file edited by a program of the code page, or
// the other way round) is refused, naming the first line that is not UTF-8:
// reading either way would store some of its letters as others. UTF-16, with
// or without its BOM, is refused too.
class TextDecoder
{
public:
    // The text of the next block (bytes cut in the middle of a letter wait
    // for the next one); last: no block follows. Empty text once error() is set.
    QString decode(const QByteArray& block, bool last);

    const std::optional<DecodingError>& error() const { return m_error; }
    // As far as it is decided: Utf8 until a byte tells otherwise.
    TextEncoding encoding() const { return m_encoding; }

private:
    enum class Mode
    {
        Undecided, // only ASCII so far
        Utf8,
        Windows1250,
    };
    void count(unsigned char byte);
    void refuseMixed(int line);

    bool m_started = false;
    Mode m_mode = Mode::Undecided;
    TextEncoding m_encoding = TextEncoding::Utf8;
    QByteArray m_carry;
    int m_line = 1;
    bool m_afterCr = false;
    int m_firstNotUtf8Line = 0;
    std::optional<DecodingError> m_error;
};

} // namespace itm::exchange
