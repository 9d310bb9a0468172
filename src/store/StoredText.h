#pragma once

#include <QByteArray>
#include <QString>

namespace itm {

// Texts go into and come out of the database as UTF-8. A file made elsewhere
// may hold bytes that are no UTF-8 (a register typed in an 8-bit code page);
// each such byte is carried in the text as one character of its own (U+DC80 +
// the byte, a code point no valid UTF-8 can produce) and becomes the same byte
// again when the text is written back, to the database or into the
// declaration file. So a record that is read and saved again, or written to
// the file, keeps its bytes exactly as they were.
QString StoredTextFromBytes(const char* bytes, qsizetype size);
inline QString StoredTextFromBytes(const QByteArray& bytes)
{
    return StoredTextFromBytes(bytes.constData(), bytes.size());
}
QByteArray StoredTextBytes(const QString& text);

// Valid UTF-8 as the text it encodes, every character kept: U+FEFF at the
// start is a letter of the text (QString::fromUtf8 takes it for a byte order
// mark and drops it, and the bytes written back would lack it).
QString Utf8Text(const char* bytes, qsizetype size);

// The length of the UTF-8 letter starting at bytes[0] (1 for ASCII): 0 when
// none starts there (a stray continuation byte, an overlong form, a
// surrogate, beyond U+10FFFF), -1 when the available bytes begin one but end
// before it does (a file read in blocks finds the rest in the next block).
qsizetype Utf8SequenceLength(const unsigned char* bytes, qsizetype available);

// The clean-up every stored text gets before it is written: apostrophes,
// double quotes and commas (the declaration file's separators) and control
// characters (below 32, DEL, the C1 controls U+0080..U+009F with NEL, and the
// line and paragraph separators U+2028/U+2029: a line end or tab would split
// the file's line) each become one blank.
QString BlankSeparators(const QString& text);
// Whether BlankSeparators would change the text.
bool HoldsSeparator(QStringView text);

} // namespace itm
