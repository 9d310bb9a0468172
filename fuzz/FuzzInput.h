#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// The same bytes seen two ways: every byte as one Latin-1 character (what the
// declaration file and itm-cli feed in), or pairs of bytes as UTF-16 units
// (what a Qt edit can hold, lone surrogates included).
inline QString fuzzText(const std::uint8_t* data, std::size_t size, bool asUtf16)
{
    if (!asUtf16)
        return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    return text;
}

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            __builtin_trap();                                                                                          \
    } while (false)
