// Any bytes read from the database come back as the same bytes when the text
// is written again; bytes that are UTF-8 read as the text they encode.
#include "FuzzInput.h"
#include "store/StoredText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const QByteArray stored(bytes, qsizetype(size));
    const QString text = itm::StoredTextFromBytes(stored);
    FUZZ_CHECK(itm::StoredTextBytes(text) == stored);
    if (QString::fromUtf8(stored).toUtf8() == stored)
        FUZZ_CHECK(text == QString::fromUtf8(stored));
    // A blanked text keeps every byte that was no UTF-8 and its length.
    FUZZ_CHECK(itm::BlankSeparators(text).size() == text.size());
    return 0;
}
