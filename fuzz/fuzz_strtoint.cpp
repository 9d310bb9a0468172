// The strict whole-number conversion against an independent reading of the
// same text: an optional sign and ASCII digits within the 64-bit range are a
// number, anything else raises the conversion error with the text quoted.
#include "FuzzInput.h"
#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <charconv>
#include <string>

namespace {

std::optional<qint64> referenceReading(const QString& text)
{
    std::string ascii;
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return std::nullopt;
        ascii.push_back(char(c.unicode()));
    }
    std::size_t start = 0;
    if (!ascii.empty() && ascii[0] == '+')
        start = 1; // from_chars takes "-" but not "+"
    if (start < ascii.size() && ascii[start] == '-' && start == 1)
        return std::nullopt; // "+-5"
    const char* first = ascii.data() + start;
    const char* last = ascii.data() + ascii.size();
    qint64 value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return std::nullopt;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString text = fuzzText(data + 1, size - 1, data[0] & 1);
    const std::optional<qint64> parsed = itm::TryStrToInt(text);
    FUZZ_CHECK(parsed == referenceReading(text));
    try {
        const qint64 value = itm::StrToInt(text);
        FUZZ_CHECK(parsed && value == *parsed);
        FUZZ_CHECK(itm::StrToInt(QString::number(value)) == value);
    } catch (const itm::ConversionError& error) {
        FUZZ_CHECK(!parsed);
        FUZZ_CHECK(error.message() == QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    return 0;
}
