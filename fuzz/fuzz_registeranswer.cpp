// Any body the register's service might send: it is read as an answer or
// refused, never more; every entry read maps onto payer columns that hold
// neither diacritics nor lower-case letters.
#include "FuzzInput.h"
#include "taxregister/PayerFill.h"
#include "taxregister/RegisterAnswer.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto answer = itm::ParseRegisterAnswer(body);
    if (!answer)
        return 0;
    static const QList<itm::CountyRow> counties { { QStringLiteral("16"), QStringLiteral("DOLJ") },
        { QStringLiteral("40"), QStringLiteral("BUCURESTI") } };
    for (const itm::RegisterEntry& entry : answer->found) {
        FUZZ_CHECK(entry.cui > 0);
        const itm::PayerFill fill = itm::PayerFillFromEntry(entry, counties);
        for (const auto& [column, value] : fill.columns) {
            FUZZ_CHECK(!value.isEmpty());
            FUZZ_CHECK(value == value.toUpper());
            for (const QChar c : value)
                FUZZ_CHECK(c.category() != QChar::Mark_NonSpacing);
        }
    }
    return 0;
}
