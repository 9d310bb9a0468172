#include "exchange/PayerRow.h"

#include "exchange/PayerColumns.h"
#include "exchange/PlainLetters.h"
#include "payers/LegalForms.h"
#include "payers/PayerValidation.h"
#include "payers/Sector.h"
#include "store/Dataset.h"
#include "store/StrictNumber.h"

namespace itm::exchange {

namespace {

QString columnKey(QStringView text)
{
    return WithoutDiacritics(text.trimmed().toString()).toLower();
}

// A legal form written as its text, without regard to case, diacritics, dots
// and blanks: "S.R.L.", "srl" and "S.R.L. " are one form.
QString formKey(const QString& text)
{
    QString key;
    for (const QChar c : WithoutDiacritics(text).toUpper()) {
        if (c != u'.' && !c.isSpace())
            key += c;
    }
    return key;
}

// The index of a legal form given as a number of its table or as one of its
// texts (the table's text or the dialog's caption, "Altele" for 0).
std::optional<qint64> legalFormIndex(const QString& text, int count, std::optional<QString> (*tableText)(qint64),
    const QStringList& captions, int (*indexOfItem)(int))
{
    if (const auto number = TryStrToInt(text.trimmed()))
        return *number >= 0 && *number < count ? number : std::nullopt;
    const QString key = formKey(text);
    for (int index = 1; index < count; ++index) {
        if (formKey(*tableText(index)) == key)
            return index;
    }
    for (int item = 0; item < captions.size(); ++item) {
        if (formKey(captions.at(item)) == key)
            return indexOfItem(item);
    }
    return std::nullopt;
}

} // namespace

PayerHeader ReadPayerHeader(const CsvRecord& header)
{
    PayerHeader result;
    const QStringList& columns = PayerFileColumns();
    for (int i = 0; i < header.fieldCount(); ++i) {
        const QString name = columnKey(header.field(i));
        const int column = int(columns.indexOf(name));
        // A column without a name is one a spreadsheet left empty; a row with
        // data in it is refused.
        if (name.isEmpty() && column < 0) {
            result.columnOfField.append(-1);
            continue;
        }
        if (column < 0) {
            result.failure = QStringLiteral("Coloana necunoscuta in capul de tabel: '%1'").arg(header.field(i));
            return result;
        }
        if (result.columnOfField.contains(column)) {
            result.failure = QStringLiteral("Coloana '%1' apare de doua ori in capul de tabel").arg(name);
            return result;
        }
        result.columnOfField.append(column);
    }
    if (!result.columnOfField.contains(0))
        result.failure = QStringLiteral("Lipseste coloana 'cui' din capul de tabel");
    return result;
}

PayerRowReader::PayerRowReader(Dataset& payers, Dataset& counties)
{
    const QVector<QString> keys = counties.columnTexts(QStringLiteral("codjudet"));
    const QVector<QString> names = counties.columnTexts(QStringLiteral("denumire"));
    for (int i = 0; i < keys.size(); ++i) {
        m_countyKeys.insert(WithoutDiacritics(names.at(i).trimmed()).toUpper(), keys.at(i));
        m_countyNames.insert(keys.at(i), names.at(i));
    }
    for (int i = 0; i < payers.columnNames().size(); ++i) {
        if (payers.columnType(i) == ColumnType::Text && payers.columnSize(i) > 0)
            m_columnSizes.insert(payers.columnNames().at(i), payers.columnSize(i));
    }
    // The texts the payer validation writes into empty fields ("fara banca"),
    // as it writes them: a payer with every such field empty shows them all.
    RowRecord payer;
    for (const char* filled : { "denumire", "codjudet", "loc", "str", "numerep", "prenumerep", "funcrep" })
        payer.setValue(QString::fromLatin1(filled), QStringLiteral("X"));
    for (const char* empty : { "nr", "banca", "cont", "sector" })
        payer.setValue(QString::fromLatin1(empty), QVariant());
    for (const ColumnWrite& write : ValidatePayer(payer, QString()).writes) {
        if (write.value.typeId() == QMetaType::QString)
            m_defaults.insert(write.column, write.value.toString());
    }
}

PayerRowValues PayerRowReader::read(const CsvRecord& record, const PayerHeader& header) const
{
    PayerRowValues row;
    const QStringList& columns = PayerFileColumns();
    const int known = int(header.columnOfField.size());
    for (int i = known; i < record.fieldCount(); ++i) {
        if (!record.field(i).isEmpty()) {
            row.failure = QStringLiteral("Linia are %1 campuri, capul de tabel %2").arg(record.fieldCount()).arg(known);
            return row;
        }
    }
    for (int i = 0; i < known; ++i) {
        const int column = header.columnOfField.at(i);
        if (column < 0) {
            if (i < record.fieldCount() && !record.field(i).isEmpty()) {
                row.failure
                    = QStringLiteral("Linia are date in coloana %1, care nu are nume in capul de tabel").arg(i + 1);
                return row;
            }
            continue;
        }
        const QString& name = columns.at(column);
        // A record shorter than the header leaves its last columns empty.
        const QString raw = i < record.fieldCount() ? record.field(i).toString() : QString();
        if (column == 0) {
            row.code = raw; // checked exactly as typed, as the payer-code field does
            row.writes.append({ name, raw });
            continue;
        }
        const QString plain = WithoutDiacritics(raw);
        if (name == u"prefix" || name == u"sufix") {
            const bool isPrefix = name == u"prefix";
            QVariant value;
            if (!plain.trimmed().isEmpty()) {
                const auto index = isPrefix
                    ? legalFormIndex(plain, kPrefixCount, &PrefixText, PrefixRadioCaptions(), &PrefixFromRadioItem)
                    : legalFormIndex(plain, kSuffixCount, &SuffixText, SuffixRadioCaptions(), &SuffixFromRadioItem);
                if (!index) {
                    row.failure = QStringLiteral("%1 necunoscut: '%2'")
                                      .arg(isPrefix ? QStringLiteral("Prefix") : QStringLiteral("Sufix"), raw);
                    return row;
                }
                value = *index;
            }
            row.writes.append({ name, value });
        } else if (name == countyFileColumn()) {
            QString key;
            const QString county = plain.trimmed().toUpper();
            if (!county.isEmpty()) {
                key = m_countyKeys.value(county);
                if (key.isNull()) {
                    row.failure = QStringLiteral("Judet necunoscut: '%1'").arg(raw);
                    return row;
                }
            }
            row.writes.append({ QStringLiteral("codjudet"), key });
        } else if (name == u"sector") {
            const QString kept = SectorFieldText(plain.trimmed());
            row.writes.append({ name, kept.isEmpty() ? QVariant() : QVariant(StrToInt(kept)) });
        } else {
            QString text = name == u"email" ? plain.toLower() : plain.toUpper();
            // A default the program wrote ("fara banca"), read back from a
            // file, is stored as the program writes it, not as typed text.
            const QString standard = m_defaults.value(name);
            if (!standard.isEmpty() && text == standard.toUpper())
                text = standard;
            const int size = m_columnSizes.value(name);
            if (size > 0 && text.size() > size) {
                row.failure
                    = QStringLiteral("Campul '%1' are %2 caractere, cel mult %3").arg(name).arg(text.size()).arg(size);
                return row;
            }
            row.writes.append({ name, text });
        }
    }
    return row;
}

} // namespace itm::exchange
