// The declaration-file reader and merge on any bytes: lines never hold a line
// end and survive a write and re-read unchanged; IsSameDeclaration agrees with
// a reading of the rule through comma-separated fields; the merge keeps every
// other line in order, appends the new line last, and merging the same line
// twice changes nothing more.
#include "FuzzInput.h"
#include "output/DeclarationFile.h"
#include "store/StrictNumber.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

bool fieldReadsAs(const QByteArray& bytes, qint64 expected)
{
    const auto value = itm::TryStrToInt(QString::fromLatin1(bytes));
    return value && *value == expected;
}

// The same rule, stated through the fields between commas.
bool referenceSame(const QByteArray& line, qint64 luna, qint64 an, const QByteArray& cui)
{
    const QByteArrayList fields = line.split(',');
    if (fields.size() == 1)
        return true;
    if (fields.size() <= 3)
        return false;
    const qsizetype yearStart = fields.at(0).size() + 2;
    return fieldReadsAs(line.mid(1, 2), luna) && fieldReadsAs(line.mid(yearStart, 4), an) && fields.at(2) == cui;
}

QByteArray bytesOf(FuzzedDataProvider& provider, std::size_t maxLength)
{
    const std::string bytes = provider.ConsumeRandomLengthString(maxLength);
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const qint64 luna = provider.ConsumeIntegralInRange<qint64>(-20, 120);
    const qint64 an = provider.ConsumeIntegralInRange<qint64>(-1000, 10500);
    const QByteArray cui = bytesOf(provider, 16);
    const QByteArray rest = bytesOf(provider, 64);
    const QByteArray content = QByteArray::fromStdString(provider.ConsumeRemainingBytesAsString());

    const QByteArrayList lines = itm::SplitDeclarationLines(content);
    for (const QByteArray& line : lines) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        FUZZ_CHECK(itm::IsSameDeclaration(line, luna, an, cui) == referenceSame(line, luna, an, cui));
    }
    const QByteArray written = itm::JoinDeclarationLines(lines);
    FUZZ_CHECK(itm::SplitDeclarationLines(written) == lines);

    // A new line in the file's own format, for this payer and period.
    const QByteArray month = QString::asprintf("%02lld", luna).toLatin1();
    const QByteArray year = QString::asprintf("%04lld", an).toLatin1();
    const QByteArray linie = '"' + month + "\",\"" + year + "\"," + cui + ',' + rest;
    const bool selfSame = month.size() == 2 && year.size() == 4 && !cui.contains(',') && !cui.contains('\r')
        && !cui.contains('\n') && !rest.contains('\r') && !rest.contains('\n');

    std::size_t calls = 0;
    const QByteArrayList merged = itm::MergeDeclarationLine(lines, luna, an, cui, linie, [&] { ++calls; });
    FUZZ_CHECK(calls == std::size_t(lines.size()));
    FUZZ_CHECK(!merged.isEmpty() && merged.last() == linie);
    qsizetype next = 0;
    for (const QByteArray& line : lines) {
        if (itm::IsSameDeclaration(line, luna, an, cui))
            continue;
        FUZZ_CHECK(next < merged.size() - 1 && merged.at(next) == line);
        ++next;
    }
    FUZZ_CHECK(next == merged.size() - 1);

    if (selfSame) {
        FUZZ_CHECK(itm::IsSameDeclaration(linie, luna, an, cui));
        const QByteArray once = itm::JoinDeclarationLines(merged);
        const QByteArrayList again = itm::MergeDeclarationLine(itm::SplitDeclarationLines(once), luna, an, cui, linie);
        FUZZ_CHECK(itm::JoinDeclarationLines(again) == once);
    }
    return 0;
}
