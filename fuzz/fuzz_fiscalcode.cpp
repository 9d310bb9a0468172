// The fiscal code check on any text: it answers, or raises the conversion
// error naming a character that is not an ASCII digit; it never reads the
// refused lengths, and never raises on a text made only of digits.
#include "FuzzInput.h"
#include "payers/FiscalCode.h"
#include "store/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString text = fuzzText(data + 1, size - 1, data[0] & 1);
    const qsizetype length = text.size();
    const bool lengthRead = (length >= 2 && length <= 9) || length == 13;
    bool allDigits = true;
    for (const QChar c : text)
        allDigits = allDigits && c >= u'0' && c <= u'9';
    try {
        const bool valid = itm::IsValidFiscalCode(text);
        FUZZ_CHECK(lengthRead || !valid);
        FUZZ_CHECK(!valid || allDigits);
    } catch (const itm::ConversionError& error) {
        FUZZ_CHECK(lengthRead && !allDigits);
        // The message quotes exactly one character of the text, and not a
        // digit; a character of two UTF-16 units is quoted whole.
        const QString message = error.message();
        const QString suffix = QStringLiteral("' is not a valid integer value");
        FUZZ_CHECK(message.startsWith(u'\'') && message.endsWith(suffix));
        const QString bad = message.mid(1, message.size() - 1 - suffix.size());
        const bool pair = bad.size() == 2 && bad.at(0).isHighSurrogate() && bad.at(1).isLowSurrogate();
        FUZZ_CHECK(bad.size() == 1 || pair);
        FUZZ_CHECK(text.contains(bad) && !(bad.at(0) >= u'0' && bad.at(0) <= u'9'));
    }
    return 0;
}
