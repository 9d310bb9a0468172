#include "taxregister/PayerFill.h"

#include "payers/Counties.h"
#include "store/Dataset.h"
#include "store/StoredText.h"
#include "taxregister/Diacritics.h"
#include "taxregister/LegalNameSplit.h"

#include <QRegularExpression>

namespace itm {

namespace {

QString localityOf(const QString& registerLocality)
{
    // "Mun. Craiova", "Oras Bechet": the town's name is what users write;
    // communes and villages keep their words, which tell them apart.
    static const QRegularExpression townWord(QStringLiteral("^(?:MUNICIPIUL|MUN\\.|ORASUL|ORAS|ORS\\.|OR\\.)\\s*"));
    return RegisterText(registerLocality).remove(townWord);
}

// One part of the address details ("BL. 12, SC. A, ET. 3, AP. 14").
QString detail(const QString& details, const QString& word)
{
    const QRegularExpression part(QStringLiteral("(?:^|[\\s,;])%1\\.?\\s*([A-Z0-9][A-Z0-9/\\-]*)").arg(word));
    return part.match(details).captured(1);
}

// A Romanian postal code has six digits; the register sends some as numbers,
// which lose the zero in front (Bucharest's "030167" arrives as "30167").
QString postalCodeOf(const QString& registerCode)
{
    static const QRegularExpression shortCode(QStringLiteral("^[0-9]{1,5}$"));
    const QString code = RegisterText(registerCode);
    return shortCode.match(code).hasMatch() ? code.rightJustified(6, u'0') : code;
}

} // namespace

QString StoredPayerText(const QString& text, int size)
{
    return BlankSeparators(size > 0 ? text.left(size) : text);
}

QString PayerFill::value(const QString& column) const
{
    for (const auto& [name, text] : columns) {
        if (name == column)
            return text;
    }
    return QString();
}

PayerFill PayerFillFromEntry(const RegisterEntry& entry, const QList<CountyRow>& counties)
{
    PayerFill fill;
    auto put = [&fill](const char* column, const QString& text) {
        if (!text.isEmpty())
            fill.columns.append({ QString::fromLatin1(column), text });
    };

    const LegalNameParts name = SplitLegalName(entry.name, entry.legalForm);
    if (!name.denumire.isEmpty()) {
        put("prefix", QString::number(name.prefix));
        put("denumire", name.denumire);
        put("sufix", QString::number(name.sufix));
    }

    // A taxpayer without a registered office (an individual practice, an
    // association) is found at its fiscal domicile.
    const RegisteredOffice& office = entry.office.isEmpty() ? entry.fiscalDomicile : entry.office;
    const auto county = MatchCounty(office.county, counties);
    if (county) {
        fill.countyName = county->name;
        fill.bucharest = isBucharest(county->name);
        put("codjudet", county->key);
    }
    if (fill.bucharest) {
        put("loc", bucharestCounty());
        int sector = BucharestSector(office.locality);
        if (sector == 0)
            sector = BucharestSector(entry.address);
        put("sector", QString::number(sector));
    } else {
        put("loc", localityOf(office.locality));
        if (county)
            put("sector", QStringLiteral("0"));
    }
    put("str", RegisterText(office.street));
    put("nr", RegisterText(office.number));
    const QString details = RegisterText(office.details);
    put("bloc", detail(details, QStringLiteral("BL(?:OC)?")));
    put("scara", detail(details, QStringLiteral("SC(?:ARA)?")));
    put("ap", detail(details, QStringLiteral("AP(?:ARTAMENT)?")));
    const QString postalCode = postalCodeOf(office.postalCode);
    put("codpostal", postalCode.isEmpty() ? postalCodeOf(entry.postalCode) : postalCode);
    put("telefon", RegisterText(entry.telephone));
    return fill;
}

void WritePayerFill(Dataset& payers, const PayerFill& fill)
{
    for (const auto& [column, text] : fill.columns) {
        const Field field = payers.FieldByName(column);
        field.setAsString(StoredPayerText(text, field.size()));
    }
}

QList<CountyRow> CountyRows(Dataset& counties)
{
    const QVector<QString> keys = counties.columnTexts(QStringLiteral("codjudet"));
    const QVector<QString> names = counties.columnTexts(QStringLiteral("denumire"));
    QList<CountyRow> rows;
    for (qsizetype i = 0; i < keys.size() && i < names.size(); ++i)
        rows.append({ keys[i], names[i] });
    return rows;
}

} // namespace itm
