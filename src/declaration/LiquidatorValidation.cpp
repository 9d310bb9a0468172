#include "declaration/LiquidatorValidation.h"

#include "declaration/CalendarDate.h"
#include "payers/Counties.h"
#include "payers/FiscalCode.h"
#include "store/RecordReader.h"

namespace itm {

namespace {
QString missing(const char* field)
{
    return QStringLiteral("Va rugam sa completati campul '%1'").arg(QLatin1String(field));
}
} // namespace

RuleOutcome ValidateLiquidator(const RecordReader& payer, const QString& countyName, const DateTexts& date)
{
    RuleOutcome outcome;
    auto text = [&](const char* column) { return payer.fieldText(QString::fromLatin1(column)); };

    if (!IsValidFiscalCode(text("lcui")))
        return outcome.fail(missing("CUI Lichidator"), QStringLiteral("lcui"));
    if (isBlank(text("ldenumire")))
        return outcome.fail(missing("Denumire Lichidator"), QStringLiteral("ldenumire"));
    if (isBlank(text("lcodjudet")))
        return outcome.fail(missing("Judet Lichidator"), QStringLiteral("lcodjudet"));
    if (isBlank(text("lloc")))
        return outcome.fail(missing("Localitate Lichidator"), QStringLiteral("lloc"));
    if (isBlank(text("lstr")))
        return outcome.fail(missing("strada"), QStringLiteral("lstr"));
    if (isBlank(text("lnr")))
        outcome.write(QStringLiteral("lnr"), QStringLiteral("F.N."));
    if (isBucharest(countyName)) {
        if (payer.fieldInteger(QStringLiteral("lsector")) < 1)
            return outcome.fail(
                QStringLiteral("Completati corect campul sector lichidator"), QStringLiteral("lsector"));
        outcome.write(QStringLiteral("lloc"), countyName);
    } else {
        outcome.write(QStringLiteral("lsector"), qint64(0));
    }
    const QString wrongDate = QStringLiteral("Data incorecta!\nVa rugam sa completati corect campurile!");
    const auto parsed = DateFromTexts(date.day, date.month, date.year);
    if (!parsed)
        return outcome.fail(wrongDate, QStringLiteral("lzi"));
    const auto [day, month, year] = *parsed;
    outcome.write(QStringLiteral("lan"), year);
    outcome.write(QStringLiteral("lln"), month);
    outcome.write(QStringLiteral("lzi"), day);
    if (year < 1990)
        return outcome.fail(wrongDate, QStringLiteral("lzi"));
    return outcome;
}

} // namespace itm
