#include "exchange/PayerRow.h"

#include "exchange/CellText.h"
#include "exchange/PayerColumns.h"
#include "exchange/PlainLetters.h"
#include "payers/LegalForms.h"
#include "payers/PayerValidation.h"
#include "payers/Sector.h"
#include "store/Dataset.h"
#include "store/StrictNumber.h"

#include <QRegularExpression>

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

// The texts by which a file may name each legal form of a table: the table's
// text and the dialog's caption ("Altele" for 0), as formKey gives them.
QHash<QString, qint64> legalFormKeys(
    int count, std::optional<QString> (*tableText)(qint64), const QStringList& captions, int (*indexOfItem)(int))
{
    QHash<QString, qint64> keys;
    for (int item = 0; item < captions.size(); ++item)
        keys.insert(formKey(captions.at(item)), indexOfItem(item));
    for (int index = 1; index < count; ++index)
        keys.insert(formKey(*tableText(index)), index);
    return keys;
}

// A legal form given as a number of its table or as one of its texts.
std::optional<qint64> legalFormIndex(const QString& text, int count, const QHash<QString, qint64>& keys)
{
    if (const auto number = TryStrToInt(text.trimmed()))
        return *number >= 0 && *number < count ? number : std::nullopt;
    const auto found = keys.constFind(formKey(text));
    if (found == keys.cend())
        return std::nullopt;
    return *found;
}

// A "?" with a letter on either side: a letter that a conversion between
// encodings lost, most likely.
bool holdsLostLetter(const QString& text)
{
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'?' && text.at(i - 1).isLetter() && text.at(i + 1).isLetter())
            return true;
    }
    return false;
}

// The text in capitals, as QString::toUpper gives it; a text of plain
// letters, nearly every one of a file, without looking up each character.
QString upperText(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toUpper();
    }
    // The copy is made at the first small letter, and written through its
    // data (indexing a string checks for a copy at every letter).
    QString upper = text;
    QChar* letters = nullptr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= u'a' && unit <= u'z') {
            if (!letters)
                letters = upper.data();
            letters[i] = QChar(char16_t(unit - (u'a' - u'A')));
        }
    }
    return upper;
}

QString lostLetterWarning(const QString& column)
{
    return QStringLiteral("Semnul '?' in mijlocul unui cuvant in campul '%1': o litera pierduta la salvarea "
                          "fisierului?")
        .arg(column);
}

// The most names of counties (and texts of legal forms) remembered: a file
// names each in a few ways.
constexpr qsizetype kRememberedCountyNames = 4096;

} // namespace

QString PayerCodeOfField(QStringView field, QString* failure)
{
    static const QRegularExpression scientific(QStringLiteral("^[0-9]+([.,][0-9]+)?[eE][+]?[0-9]+$"));
    QString code = field.trimmed().toString();
    if (code.startsWith(QStringLiteral("RO"), Qt::CaseInsensitive))
        code = code.mid(2).trimmed();
    // Only a code with an exponent can be one; a file of a million codes has none.
    if (code.contains(u'e', Qt::CaseInsensitive) && scientific.match(code).hasMatch())
        *failure = QStringLiteral("Codul '%1' a fost transformat in numar de foaia de calcul (cifrele lui s-au "
                                  "pierdut); formatati coloana cui ca text si salvati din nou")
                       .arg(field.trimmed());
    return code;
}

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
    : m_prefixKeys(legalFormKeys(kPrefixCount, &PrefixText, PrefixRadioCaptions(), &PrefixFromRadioItem))
    , m_sufixKeys(legalFormKeys(kSuffixCount, &SuffixText, SuffixRadioCaptions(), &SuffixFromRadioItem))
{
    const QVector<QString> keys = counties.columnTexts(QStringLiteral("codjudet"));
    const QVector<QString> names = counties.columnTexts(QStringLiteral("denumire"));
    for (int i = 0; i < keys.size(); ++i) {
        m_counties.append({ keys.at(i), names.at(i) });
        m_countyNames.insert(RowText { keys.at(i) }, names.at(i));
    }
    // The texts the payer validation writes into empty fields ("fara banca"),
    // as it writes them: a payer with every such field empty shows them all.
    RowRecord empty;
    for (const char* filled : { "denumire", "codjudet", "loc", "str", "numerep", "prenumerep", "funcrep" })
        empty.setValue(QString::fromLatin1(filled), QStringLiteral("X"));
    for (const char* unfilled : { "nr", "banca", "cont", "sector" })
        empty.setValue(QString::fromLatin1(unfilled), QVariant());
    QHash<QString, QString> defaults;
    for (const ColumnWrite& write : ValidatePayer(empty, QString()).writes) {
        if (write.value.typeId() == QMetaType::QString)
            defaults.insert(write.column, write.value.toString());
    }

    for (const QString& name : PayerFileColumns()) {
        FileColumn column;
        column.name = name;
        if (name == u"cui")
            column.kind = FileColumn::Code;
        else if (name == u"prefix")
            column.kind = FileColumn::Prefix;
        else if (name == u"sufix")
            column.kind = FileColumn::Sufix;
        else if (name == countyFileColumn())
            column.kind = FileColumn::County, column.name = QStringLiteral("codjudet");
        else if (name == u"sector")
            column.kind = FileColumn::Sector;
        else
            column.kind = name == u"email" ? FileColumn::LowerText : FileColumn::UpperText;
        const int index = payers.FieldIndex(column.name);
        column.recordIndex = index;
        if (index >= 0 && payers.columnType(index) == ColumnType::Text)
            column.size = payers.columnSize(index);
        column.standard = defaults.value(name);
        column.standardUpper = column.standard.toUpper();
        m_fileColumns.append(column);
    }
    m_lastValues.resize(m_fileColumns.size());
}

size_t qHash(const RowText& key, size_t seed)
{
    // FNV-1a over the UTF-16 units.
    size_t hash = 1469598103934665603ULL ^ seed;
    for (const QChar c : key.text)
        hash = (hash ^ c.unicode()) * 1099511628211ULL;
    return hash;
}

QString PayerRowReader::countyKey(const QString& name) const
{
    const auto known = m_countyKeys.constFind(RowText { name });
    if (known != m_countyKeys.cend())
        return *known;
    const auto county = MatchCounty(name, m_counties);
    const QString key = county ? county->key : QString();
    if (m_countyKeys.size() < kRememberedCountyNames)
        m_countyKeys.insert(RowText { name }, key);
    return key;
}

std::optional<qint64> PayerRowReader::legalForm(const QString& text, bool isPrefix) const
{
    auto& met = isPrefix ? m_prefixesMet : m_sufixesMet;
    const auto known = met.constFind(RowText { text });
    if (known != met.cend())
        return *known;
    const auto index
        = isPrefix ? legalFormIndex(text, kPrefixCount, m_prefixKeys) : legalFormIndex(text, kSuffixCount, m_sufixKeys);
    if (met.size() < kRememberedCountyNames)
        met.insert(RowText { text }, index);
    return index;
}

void PayerRowValues::clear()
{
    code.clear();
    fileTexts.clear();
    failure.reset();
    warning.clear();
}

void PayerRowReader::read(const CsvRecord& record, const PayerHeader& header, TypedRecord& payer, PayerRowValues& row,
    bool withFileTexts, const std::optional<QString>& code) const
{
    row.clear();
    const int known = int(header.columnOfField.size());
    for (int i = known; i < record.fieldCount(); ++i) {
        if (!record.field(i).isEmpty()) {
            row.failure = QStringLiteral("Linia are %1 campuri, capul de tabel %2").arg(record.fieldCount()).arg(known);
            return;
        }
    }
    for (int i = 0; i < known; ++i) {
        const int fileColumn = header.columnOfField.at(i);
        if (fileColumn < 0) {
            if (i < record.fieldCount() && !record.field(i).isEmpty()) {
                row.failure
                    = QStringLiteral("Linia are date in coloana %1, care nu are nume in capul de tabel").arg(i + 1);
                return;
            }
            continue;
        }
        const FileColumn& column = m_fileColumns.at(fileColumn);
        const bool textColumn = column.kind == FileColumn::UpperText || column.kind == FileColumn::LowerText;
        // A column often holds the same text row after row (a county, a
        // locality, a bank, an empty cell): it gives what it gave last time.
        LastValue& last = m_lastValues[fileColumn];
        if (last.known && i < record.fieldCount() && last.holds(record.field(i))) {
            if (textColumn) {
                if (row.warning.isEmpty() && last.lostLetter)
                    row.warning = lostLetterWarning(column.name);
                if (withFileTexts)
                    row.fileTexts.append({ column.recordIndex, last.raw });
            }
            fieldOf(payer, column).setHeldValue(last.value);
            continue;
        }
        if (column.kind == FileColumn::Code && code) {
            row.code = *code;
            fieldOf(payer, column).setAsVariant(row.code);
            continue;
        }
        // A record shorter than the header leaves its last columns empty.
        // The text as exported, without the mark that kept it from being a formula.
        const QString raw = i < record.fieldCount() ? CsvCellText(record.field(i)) : QString();
        if (column.kind == FileColumn::Code) {
            QString failure;
            row.code = PayerCodeOfField(raw, &failure);
            if (!failure.isEmpty()) {
                row.failure = failure;
                return;
            }
            fieldOf(payer, column).setAsVariant(row.code);
            continue;
        }
        const QString plain = WithoutDiacritics(raw);
        QVariant value;
        bool lostLetter = false;
        switch (column.kind) {
        case FileColumn::Code:
            break;
        case FileColumn::Prefix:
        case FileColumn::Sufix: {
            const bool isPrefix = column.kind == FileColumn::Prefix;
            if (!plain.trimmed().isEmpty()) {
                const auto index = legalForm(plain, isPrefix);
                if (!index) {
                    row.failure = QStringLiteral("%1 necunoscut: '%2'")
                                      .arg(isPrefix ? QStringLiteral("Prefix") : QStringLiteral("Sufix"), raw);
                    return;
                }
                value = *index;
            }
            break;
        }
        case FileColumn::County: {
            QString key;
            if (!plain.trimmed().isEmpty()) {
                key = countyKey(raw);
                if (key.isEmpty()) {
                    row.failure = QStringLiteral("Judet necunoscut: '%1'").arg(raw);
                    return;
                }
            }
            value = key;
            break;
        }
        case FileColumn::Sector: {
            const QString kept = SectorFieldText(plain.trimmed());
            if (!kept.isEmpty())
                value = StrToInt(kept);
            break;
        }
        case FileColumn::UpperText:
        case FileColumn::LowerText: {
            QString text = column.kind == FileColumn::LowerText ? plain.toLower() : upperText(plain);
            // A default the program wrote ("fara banca"), read back from a
            // file, is stored as the program writes it, not as typed text.
            if (!column.standard.isEmpty() && text == column.standardUpper)
                text = column.standard;
            if (column.size > 0 && text.size() > column.size) {
                row.failure = QStringLiteral("Campul '%1' are %2 caractere, cel mult %3")
                                  .arg(column.name)
                                  .arg(text.size())
                                  .arg(column.size);
                return;
            }
            lostLetter = holdsLostLetter(text);
            if (row.warning.isEmpty() && lostLetter)
                row.warning = lostLetterWarning(column.name);
            if (withFileTexts)
                row.fileTexts.append({ column.recordIndex, raw });
            value = text;
            break;
        }
        }
        const TypedRecord::Field written = fieldOf(payer, column);
        written.setAsVariant(std::move(value));
        if (i < record.fieldCount()) {
            // Kept as the record holds it: the same field again is given as it is.
            const QStringView field = record.field(i);
            last = LastValue { true, field.size() != raw.size(), raw, written.AsVariant(), lostLetter };
        }
    }
}

TypedRecord::Field PayerRowReader::fieldOf(TypedRecord& payer, const FileColumn& column)
{
    // A column the register lacks raises, as naming it would.
    return column.recordIndex >= 0 ? payer.FieldAt(column.recordIndex) : payer.FieldByName(column.name);
}

bool PayerRowReader::LastValue::holds(QStringView field) const
{
    // The mark the export put before a text that would be a formula.
    if (marked)
        return field.size() == raw.size() + 1 && field.startsWith(u'\'') && field.mid(1) == raw;
    return field == raw;
}

} // namespace itm::exchange
