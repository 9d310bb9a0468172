// The declaration line over random records as the before-post rules leave
// them (no comma, apostrophe or double quote in a text, no empty text): the
// line always has 47 fields, every field reads back to the record's value, and
// the merge recognises the line as the declaration of its own payer and period
// whenever month and year fill their two and four places.
#include "FuzzInput.h"
#include "output/DeclarationFile.h"
#include "output/DeclarationLine.h"
#include "store/RecordReader.h"
#include "store/StoredText.h"
#include "store/StrictNumber.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

struct Column
{
    bool payer;
    const char* name;
    char kind; // 'm' month, 'y' year, 'b' bare text, 'q' quoted text, 'i' integer
};

const Column kColumns[] = {
    { false, "ln", 'm' },
    { false, "an", 'y' },
    { true, "cui", 'b' },
    { true, "prefix", 'i' },
    { true, "denumire", 'q' },
    { true, "sufix", 'i' },
    { true, "codjudet", 'q' },
    { true, "loc", 'q' },
    { true, "sector", 'i' },
    { true, "str", 'q' },
    { true, "nr", 'q' },
    { true, "bloc", 'q' },
    { true, "scara", 'q' },
    { true, "ap", 'q' },
    { true, "codpostal", 'q' },
    { true, "telefon", 'q' },
    { true, "email", 'q' },
    { true, "banca", 'q' },
    { true, "cont", 'q' },
    { false, "rectificativ", 'i' },
    { false, "com25", 'i' },
    { false, "nrsal", 'i' },
    { false, "fondlunsal", 'i' },
    { false, "comdat", 'i' },
    { false, "comac", 'i' },
    { false, "comdec", 'i' },
    { false, "comdecac", 'i' },
    { true, "numerep", 'q' },
    { true, "prenumerep", 'q' },
    { true, "funcrep", 'q' },
    { true, "faliment", 'i' },
    { true, "lcui", 'b' },
    { true, "ldenumire", 'q' },
    { true, "lcodjudet", 'q' },
    { true, "lloc", 'q' },
    { true, "lsector", 'i' },
    { true, "lstr", 'q' },
    { true, "lnr", 'q' },
    { true, "lbloc", 'q' },
    { true, "lscara", 'q' },
    { true, "lap", 'q' },
    { true, "lcodpostal", 'q' },
    { true, "lemail", 'q' },
    { true, "ltelefon", 'q' },
    { true, "lzi", 'i' },
    { true, "lln", 'i' },
    { true, "lan", 'i' },
};
static_assert(std::size(kColumns) == itm::kDeclarationLineFieldCount);

// What the before-post rule stores for a typed text: separators and control
// characters blanked, bytes that are no UTF-8 carried as they were.
QString cleanedText(FuzzedDataProvider& provider)
{
    const std::string bytes = provider.ConsumeRandomLengthString(24);
    const QString text = itm::BlankSeparators(itm::StoredTextFromBytes(bytes.data(), qsizetype(bytes.size())));
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    itm::RowRecord payer;
    itm::RowRecord declaration;
    QStringList expected; // each field as it must read back
    for (const Column& column : kColumns) {
        itm::RowRecord& record = column.payer ? payer : declaration;
        const QString name = QString::fromLatin1(column.name);
        if (column.kind == 'b' || column.kind == 'q') {
            const QString text = cleanedText(provider);
            record.setValue(name, text);
            expected.append(text);
            continue;
        }
        const qint64 value = provider.ConsumeIntegral<qint64>();
        // Integers come back from the store as integers, as reals (NUMERIC
        // columns) or as texts holding a number.
        switch (provider.ConsumeIntegralInRange<int>(0, 2)) {
        case 0:
            record.setValue(name, value);
            break;
        case 1: {
            // Fifteen digits at most: a larger real shows only in the
            // exponent form, which the line refuses as no whole number.
            const auto small = value % qint64(1'000'000'000'000'000);
            record.setValue(name, double(small));
            expected.append(QString::number(small));
            continue;
        }
        default:
            record.setValue(name, QString::number(value));
            break;
        }
        expected.append(QString::number(value));
    }

    const QString line = itm::BuildDeclarationLine(payer, declaration);
    const QStringList fields = line.split(u',');
    FUZZ_CHECK(fields.size() == itm::kDeclarationLineFieldCount);
    for (int i = 0; i < itm::kDeclarationLineFieldCount; ++i) {
        QString field = fields.at(i);
        const char kind = kColumns[i].kind;
        if (kind == 'm' || kind == 'y' || kind == 'q') {
            FUZZ_CHECK(field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'));
            field = field.mid(1, field.size() - 2);
        }
        if (kind == 'b' || kind == 'q') {
            FUZZ_CHECK(field == expected.at(i));
        } else {
            FUZZ_CHECK(itm::StrToInt(field) == itm::StrToInt(expected.at(i)));
            if (kind == 'm')
                FUZZ_CHECK(field.size() >= 2);
            if (kind == 'y')
                FUZZ_CHECK(field.size() >= 4);
        }
    }

    const QString month = fields.at(0).mid(1, fields.at(0).size() - 2);
    const QString year = fields.at(1).mid(1, fields.at(1).size() - 2);
    if (month.size() == 2 && year.size() == 4) {
        const QByteArray bytes = itm::DeclarationFileBytes(line);
        const QByteArray cui = itm::DeclarationFileBytes(payer.fieldText(QStringLiteral("cui")));
        FUZZ_CHECK(itm::IsSameDeclaration(bytes, itm::StrToInt(month), itm::StrToInt(year), cui));
    }
    return 0;
}
