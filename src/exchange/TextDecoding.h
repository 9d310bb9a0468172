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

// A BOM decides; otherwise bytes that form valid UTF-8 are UTF-8 (plain ASCII
// included), anything else is Windows-1250, in which every byte is a letter.
TextEncoding DetectTextEncoding(const QByteArray& bytes);

QString DecodeWindows1250(const QByteArray& bytes);

// The text of the file without its BOM; nothing for UTF-16.
std::optional<QString> DecodeText(const QByteArray& bytes, TextEncoding encoding);

QString EncodingName(TextEncoding encoding);

} // namespace itm::exchange
