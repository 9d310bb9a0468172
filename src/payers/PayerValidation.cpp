#include "payers/PayerValidation.h"

#include "payers/Counties.h"
#include "store/RecordReader.h"

namespace itm {

namespace {
QString missing(const char* field)
{
    return QStringLiteral("Va rugam sa completati campul '%1'").arg(QLatin1String(field));
}
} // namespace

RuleOutcome ValidatePayer(const RecordReader& payer, const QString& countyName)
{
    RuleOutcome outcome;
    // The names as literals: no string is made for each column read.
    auto text = [&](const QString& column) { return payer.fieldText(column); };

    if (isBlank(text(QStringLiteral("denumire"))))
        return outcome.fail(missing("denumire"), QStringLiteral("denumire"));
    if (isBlank(text(QStringLiteral("codjudet"))))
        return outcome.fail(missing("Judet"), QStringLiteral("codjudet"));
    // Locality, street and representative are refused only when empty: the
    // stored blank of an empty text counts as filled.
    if (text(QStringLiteral("loc")).isEmpty())
        return outcome.fail(missing("localitate"), QStringLiteral("loc"));
    if (text(QStringLiteral("str")).isEmpty())
        return outcome.fail(missing("strada"), QStringLiteral("str"));
    if (isBlank(text(QStringLiteral("nr"))))
        outcome.write(QStringLiteral("nr"), QStringLiteral("F.N."));
    if (text(QStringLiteral("numerep")).isEmpty())
        return outcome.fail(missing("Nume reprezentant"), QStringLiteral("numerep"));
    if (text(QStringLiteral("prenumerep")).isEmpty())
        return outcome.fail(missing("Prenume reprezentant"), QStringLiteral("prenumerep"));
    if (text(QStringLiteral("funcrep")).isEmpty())
        return outcome.fail(missing("Functie reprezentant"), QStringLiteral("funcrep"));
    if (text(QStringLiteral("banca")).isEmpty())
        outcome.write(QStringLiteral("banca"), QStringLiteral("fara banca"));
    if (text(QStringLiteral("cont")).isEmpty())
        outcome.write(QStringLiteral("cont"), QStringLiteral("fara iban"));
    if (isBucharest(countyName)) {
        if (payer.fieldInteger(QStringLiteral("sector")) < 1)
            return outcome.fail(QStringLiteral("Completati corect campul sector"), QStringLiteral("sector"));
        outcome.write(QStringLiteral("loc"), countyName);
    } else {
        outcome.write(QStringLiteral("sector"), qint64(0));
    }
    return outcome;
}

} // namespace itm
