// The CSV reader over any bytes never fails but by its own error, and over a
// table written by the CSV writer gives back every field of every record, with
// the line on which each record starts.
#include "exchange/CsvReader.h"
#include "exchange/SheetFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            __builtin_trap();                                                                                          \
    } while (false)

using namespace itm::exchange;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        const std::string bytes = input.ConsumeRemainingBytesAsString();
        const CsvDocument document = ReadCsv(QByteArray(bytes.data(), qsizetype(bytes.size())));
        FUZZ_CHECK(!document.error || document.records.isEmpty());
        return 0;
    }

    QList<QStringList> table;
    const int records = input.ConsumeIntegralInRange(1, 6);
    const int fields = input.ConsumeIntegralInRange(1, 5);
    QByteArray file;
    QList<int> lines;
    int line = 1;
    for (int r = 0; r < records; ++r) {
        QStringList record;
        for (int f = 0; f < fields; ++f) {
            // Any letter but CR: the reader keeps a line break inside a field as
            // LF. No NUL: a file full of them is UTF-16, refused.
            QString field = QString::fromLatin1(input.ConsumeRandomLengthString(12));
            field.remove(u'\r');
            field.remove(QChar(0));
            // A first line "sep=X" names the separator and is no record.
            if (r == 0 && f == 0 && field.startsWith(QLatin1String("sep="), Qt::CaseInsensitive))
                field.prepend(u'x');
            record.append(field);
        }
        table.append(record);
        lines.append(line);
        line += int(record.join(QString()).count(u'\n')) + 1;
        file += CsvLine(record);
    }
    const CsvDocument document = ReadCsv(file);
    FUZZ_CHECK(!document.error);
    FUZZ_CHECK(document.separator == u',');
    FUZZ_CHECK(document.records.size() == table.size());
    for (int r = 0; r < table.size(); ++r) {
        FUZZ_CHECK(document.records.at(r).fields() == table.at(r));
        FUZZ_CHECK(document.records.at(r).line == lines.at(r));
    }
    return 0;
}
