#include "output/DeclarationLine.h"

#include "store/RecordReader.h"
#include "store/RegisterColumns.h"
#include "store/StoredText.h"

#include <array>

namespace itm {

namespace {

enum class Source
{
    Payer,
    Declaration
};

enum class Written
{
    QuotedMonth, // "%02d"
    QuotedYear, // "%04d"
    BareText, // %s
    QuotedText, // "%s"
    Integer, // %d
};

struct Field
{
    Source source;
    const char16_t* column;
    Written written;
};

constexpr Source P = Source::Payer;
constexpr Source D = Source::Declaration;

// The order and form of the fields is the file format the inspectorate reads.
constexpr std::array<Field, kDeclarationLineFieldCount> kFields = { {
    { D, u"ln", Written::QuotedMonth },
    { D, u"an", Written::QuotedYear },
    { P, u"cui", Written::BareText },
    { P, u"prefix", Written::Integer },
    { P, u"denumire", Written::QuotedText },
    { P, u"sufix", Written::Integer },
    { P, u"codjudet", Written::QuotedText },
    { P, u"loc", Written::QuotedText },
    { P, u"sector", Written::Integer },
    { P, u"str", Written::QuotedText },
    { P, u"nr", Written::QuotedText },
    { P, u"bloc", Written::QuotedText },
    { P, u"scara", Written::QuotedText },
    { P, u"ap", Written::QuotedText },
    { P, u"codpostal", Written::QuotedText },
    { P, u"telefon", Written::QuotedText },
    { P, u"email", Written::QuotedText },
    { P, u"banca", Written::QuotedText },
    { P, u"cont", Written::QuotedText },
    { D, u"rectificativ", Written::Integer },
    { D, u"com25", Written::Integer },
    { D, u"nrsal", Written::Integer },
    { D, u"fondlunsal", Written::Integer },
    { D, u"comdat", Written::Integer },
    { D, u"comac", Written::Integer },
    { D, u"comdec", Written::Integer },
    { D, u"comdecac", Written::Integer },
    { P, u"numerep", Written::QuotedText },
    { P, u"prenumerep", Written::QuotedText },
    { P, u"funcrep", Written::QuotedText },
    { P, u"faliment", Written::Integer },
    { P, u"lcui", Written::BareText },
    { P, u"ldenumire", Written::QuotedText },
    { P, u"lcodjudet", Written::QuotedText },
    { P, u"lloc", Written::QuotedText },
    { P, u"lsector", Written::Integer },
    { P, u"lstr", Written::QuotedText },
    { P, u"lnr", Written::QuotedText },
    { P, u"lbloc", Written::QuotedText },
    { P, u"lscara", Written::QuotedText },
    { P, u"lap", Written::QuotedText },
    { P, u"lcodpostal", Written::QuotedText },
    { P, u"lemail", Written::QuotedText },
    { P, u"ltelefon", Written::QuotedText },
    { P, u"lzi", Written::Integer },
    { P, u"lln", Written::Integer },
    { P, u"lan", Written::Integer },
} };

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// A real that is no whole number (a salary fund stored as 12345.5 by another
// tool) is refused rather than rounded: the file would declare an amount that
// the register does not hold.
qint64 integerOf(const RecordReader& record, const QString& column)
{
    return record.fieldWholeNumber(column);
}

// A text that reached the database some other way than through the program's
// own clean-up still makes exactly one line of exactly 47 fields.
QString textOf(const RecordReader& record, const QString& column)
{
    return BlankSeparators(record.fieldText(column));
}

QString fieldOfLine(const Field& field, const RecordReader& record)
{
    const QString column = QString::fromUtf16(field.column);
    switch (field.written) {
    case Written::QuotedMonth:
        return quoted(QString::asprintf("%02lld", integerOf(record, column)));
    case Written::QuotedYear:
        return quoted(QString::asprintf("%04lld", integerOf(record, column)));
    case Written::BareText:
        return textOf(record, column);
    case Written::QuotedText:
        return quoted(textOf(record, column));
    case Written::Integer:
        return QString::number(integerOf(record, column));
    }
    return QString();
}

// The payer as the January 2006 declaration sees it: that declaration has no
// bankruptcy flag and no liquidator, so the payer reads as one not in
// bankruptcy is stored (flag 0, liquidator code "0", sector and date 0, texts
// one blank), whatever the register holds for the months after.
class PayerWithoutBankruptcy : public RecordReader
{
public:
    explicit PayerWithoutBankruptcy(const RecordReader& payer)
        : m_payer(payer)
    {
    }

    QVariant fieldValue(const QString& column) const override
    {
        if (column == u"lcui")
            return QStringLiteral("0");
        if (column == u"faliment" || column == u"lsector")
            return qint64(0);
        if (LiquidatorTextColumns().contains(column))
            return IsIntegerColumn(column) ? QVariant(qint64(0)) : QVariant(QStringLiteral(" "));
        return m_payer.fieldValue(column);
    }

private:
    const RecordReader& m_payer;
};

bool isJanuary2006(const RecordReader& declaration)
{
    return integerOf(declaration, QStringLiteral("ln")) == 1 && integerOf(declaration, QStringLiteral("an")) == 2006;
}

} // namespace

QString BuildDeclarationLine(const RecordReader& payer, const RecordReader& declaration)
{
    const PayerWithoutBankruptcy outOfBankruptcy(payer);
    const RecordReader& payerRead = isJanuary2006(declaration) ? outOfBankruptcy : payer;
    QString line;
    line.reserve(512);
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (i != 0)
            line += u',';
        line += fieldOfLine(kFields[i], kFields[i].source == Source::Payer ? payerRead : declaration);
    }
    return line;
}

QString DeclarationFileName(qint64 year, qint64 month)
{
    return QString::asprintf("IM%04lld%02lld.txt", year, month);
}

QByteArray DeclarationFileBytes(const QString& text)
{
    return StoredTextBytes(text);
}

QString PayerRecordFault(const QString& cui, const QString& problem)
{
    return QStringLiteral("Platitorul cu codul fiscal %1: %2").arg(cui, problem);
}

} // namespace itm
