#include "store/Tdm.h"

#include "store/Errors.h"
#include "store/RegisterColumns.h"
#include "store/RegisterSchema.h"
#include "store/ServerConnection.h"
#include "store/StoredText.h"
#include "store/TypedRecord.h"

#include <type_traits>

namespace itm {

namespace {

// About what the payer query reads in a few milliseconds.
constexpr qint64 backgroundKeysFromRows = 10000;

// Writes text into a column, or "0" when the column refuses it (a number column).
template <typename ColumnField> void writeOrZero(const ColumnField& field, const QString& text)
{
    try {
        field.setAsString(text);
    } catch (const ConversionError&) {
        field.setAsString(QStringLiteral("0"));
    }
}

// The same for a record held apart, which tells whether a column took the
// text instead of raising: an import writes a great many empty numbers.
void writeOrZero(const TypedRecord::Field& field, const QString& text)
{
    if (!field.trySetAsString(text))
        field.setAsString(QStringLiteral("0"));
}

// No column is stored empty: an empty text becomes one blank, an empty number 0.
// With replaceSeparators, the declaration file's separators and every control
// character in a text become blanks too.
template <typename Record> void fillEmptyColumns(Record& dataset, bool replaceSeparators)
{
    for (int i = 1; i < dataset.columnNames().size(); ++i) {
        // A whole number held apart is never empty and holds no separator;
        // a text held apart is cleaned in place, without the conversions of
        // the generic path (an import cleans every column of a million rows).
        if constexpr (std::is_same_v<Record, TypedRecord>) {
            // The value's kind is asked once: a million rows of forty columns.
            const QVariant& value = dataset.values().at(i);
            const QMetaType kind = value.metaType();
            if (kind == QMetaType::fromType<qint64>())
                continue;
            const bool isNull = value.isNull();
            const ColumnType type = dataset.columnType(i);
            // An empty number is 0 of its kind, as the blank refused below makes it.
            if (isNull && type != ColumnType::Text) {
                static const QVariant integerZero(qint64(0));
                static const QVariant realZero(0.0);
                dataset.FieldAt(i).setHeldValue(type == ColumnType::Integer ? integerZero : realZero);
                continue;
            }
            if (type == ColumnType::Text && (isNull || kind == QMetaType::fromType<QString>())) {
                const QString* text = isNull ? nullptr : static_cast<const QString*>(value.constData());
                if (!text || text->isEmpty()) {
                    static const QVariant blank(QStringLiteral(" "));
                    dataset.FieldAt(i).setHeldValue(blank);
                } else if (replaceSeparators && HoldsSeparator(*text)) {
                    // Looked at in place: the text may be one another thread
                    // holds too, and a copy would count it from here.
                    dataset.FieldAt(i).setAsVariant(BlankSeparators(*text));
                }
                continue;
            }
        }
        const auto field = dataset.FieldAt(i);
        const QString text = field.AsString();
        if (text.isEmpty()) {
            writeOrZero(field, QStringLiteral(" "));
        } else if (replaceSeparators) {
            const QString cleaned = BlankSeparators(text);
            if (cleaned != text)
                writeOrZero(field, cleaned);
        }
    }
}

// A payer not in liquidation has no liquidator: "0" in lcui and lsector, no
// text in the others. For a record held apart, the values those texts become
// in each column, made once and written as they are: an import clears a
// million payers' liquidators. A text column holds the blank that
// fillEmptyColumns makes of no text at once.
void clearLiquidator(TypedRecord& record)
{
    static const QVariant zeroNumber(qint64(0));
    static const QVariant zeroReal(0.0);
    static const QVariant zeroText(QStringLiteral("0"));
    static const QVariant blank(QStringLiteral(" "));
    static const QVariant cleared;
    auto write = [&record](const QString& column, const QVariant& text, const QVariant& number, const QVariant& real) {
        const int index = record.columnIndex(column);
        const ColumnType type = record.columnType(index);
        record.FieldAt(index).setHeldValue(type == ColumnType::Integer ? number
                : type == ColumnType::Real                             ? real
                                                                       : text);
    };
    write(QStringLiteral("lcui"), zeroText, zeroNumber, zeroReal);
    write(QStringLiteral("lsector"), zeroText, zeroNumber, zeroReal);
    for (const QString& column : LiquidatorTextColumns())
        write(column, blank, cleared, cleared);
}

// The payer's clean-up, over the query's edit buffer or over a record held
// apart (an imported payer): one rule for every payer that is written.
template <typename Record> void cleanPayer(Record& dataset)
{
    if (dataset.FieldByName(QStringLiteral("faliment")).AsInteger() == 0) {
        if constexpr (std::is_same_v<Record, TypedRecord>) {
            clearLiquidator(dataset);
        } else {
            dataset.FieldByName(QStringLiteral("lcui")).setAsString(QStringLiteral("0"));
            dataset.FieldByName(QStringLiteral("lsector")).setAsString(QStringLiteral("0"));
            for (const QString& column : LiquidatorTextColumns())
                dataset.FieldByName(column).setAsString(QString());
        }
    }
    fillEmptyColumns(dataset, true);
}

// "d.idfirma, d.ln, ..." of every declaration column.
QString declarationColumnsOf(const QString& alias)
{
    QStringList columns;
    for (const QString& column : DeclarationColumns())
        columns.append(alias + u'.' + column);
    return columns.join(QStringLiteral(", "));
}

} // namespace

void KeepDeclarationVersions(UpdateSql& declarations, bool onServer)
{
    const QString target = QStringLiteral("INSERT INTO versiuni_declaratii (iddeclaratie, versiune, salvat, %1) ")
                               .arg(DeclarationColumns().join(QStringLiteral(", ")));
    // The versions of a live declaration; its key alone could be one a
    // program without the history freed and gave again.
    const QString versionsOf = QStringLiteral("FROM versiuni_declaratii v WHERE v.iddeclaratie = d.id AND v.idfirma IS "
                                              "NOT DISTINCT FROM d.idfirma AND v.idstergere IS NULL");
    declarations.beforeModifySql = target
        + QStringLiteral("SELECT d.id, 1, NULL, %1 FROM declaratii d WHERE d.id = :OLD_id AND NOT EXISTS (SELECT 1 %2)")
              .arg(declarationColumnsOf(QStringLiteral("d")), versionsOf);
    const QString now = onServer ? QStringLiteral("to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS')")
                                 : QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");
    declarations.afterWriteSql = target
        + QStringLiteral("SELECT d.id, (SELECT coalesce(max(v.versiune), 0) + 1 %1), %3, %2 FROM declaratii d "
                         "WHERE d.id = :id")
              .arg(versionsOf, declarationColumnsOf(QStringLiteral("d")), now);
}

void CleanPayerRecord(TypedRecord& record)
{
    cleanPayer(record);
}

QString Tdm::defaultDatabasePath()
{
    return RegisterOfWorkFolder(QStringLiteral("."));
}

Tdm::Tdm(const QString& databasePath, QObject* parent)
    : QObject(parent)
    , qry(con)
{
    setObjectName(QStringLiteral("dm"));
    const QString payers = QStringLiteral("firme");
    uFirmez.insertSql = InsertStatement(payers, PayerColumns());
    uFirmez.modifySql = UpdateStatement(payers, PayerColumns());
    uFirmez.deleteSql = QStringLiteral("DELETE FROM firme WHERE (id = :OLD_id)");
    // The code is the register's key: a second program, or a row made
    // elsewhere, must not give two payers the same code.
    uFirmez.insertConflictSql = QStringLiteral("SELECT 1 FROM firme WHERE cui = :cui LIMIT 1");
    uFirmez.conflictColumn = QStringLiteral("cui");
    uFirmez.conflictMessage = QStringLiteral("In registru exista deja o firma cu codul fiscal %1");
    uFirmez.rowCheckSql = QStringLiteral("SELECT 1 FROM firme WHERE id = :OLD_id AND cui = :OLD_cui");
    const QString declarations = QStringLiteral("declaratii");
    uDeclaratii.insertSql = InsertStatement(declarations, DeclarationColumns());
    uDeclaratii.modifySql = UpdateStatement(declarations, DeclarationColumns());
    uDeclaratii.deleteSql = QStringLiteral("DELETE FROM declaratii WHERE (id = :OLD_id)");
    uDeclaratii.rowCheckSql = QStringLiteral(
        "SELECT 1 FROM declaratii WHERE id = :OLD_id AND idfirma = :OLD_idfirma AND ln = :OLD_ln AND an = :OLD_an");

    qryFirme = new Dataset(con, QStringLiteral("qryFirme"), this);
    qryFirme->setSql(QStringLiteral("select * from firme order by cui"));
    qryFirme->setCachedColumns({ QStringLiteral("cui") });
    // The window is in use before a register of millions of payers is read; a
    // small one costs less read at once.
    qryFirme->setLoadKeysInBackground(backgroundKeysFromRows);
    qryFirme->setUpdateSql(&uFirmez);
    qryFirme->setBeforePost([this](Dataset& dataset) { qryFirmeBeforePost(dataset); });

    qryJudete = new Dataset(con, QStringLiteral("qryJudete"), this);
    qryJudete->setSql(QStringLiteral("select * from judete order by denumire"));
    qryJudete->setCachedColumns({ QStringLiteral("denumire"), QStringLiteral("codjudet") });

    qryJudL = new Dataset(con, QStringLiteral("qryJudL"), this);
    qryJudL->setSql(QStringLiteral("select * from judete order by denumire"));
    qryJudL->setCachedColumns({ QStringLiteral("denumire"), QStringLiteral("codjudet") });

    qryDeclaratii = new Dataset(con, QStringLiteral("qryDeclaratii"), this);
    qryDeclaratii->setSql(QStringLiteral("select * from declaratii where idfirma=:idfirma and ln=:luna and an=:anul"));
    qryDeclaratii->setUpdateSql(&uDeclaratii);
    qryDeclaratii->setBeforePost([this](Dataset& dataset) { qryDeclaratiiBeforePost(dataset); });

    sFirme = new DataSource(qryFirme, QStringLiteral("sFirme"), this);
    sJudete = new DataSource(qryJudete, QStringLiteral("sJudete"), this);
    sJudL = new DataSource(qryJudL, QStringLiteral("sJudL"), this);
    sDeclaratii = new DataSource(qryDeclaratii, QStringLiteral("sDeclaratii"), this);

    con.open(databasePath);
    m_keepsHistory = HasKnownHistory(con);
    const bool onServer = con.handle() == nullptr;
    if (m_keepsHistory)
        KeepDeclarationVersions(uDeclaratii, onServer);
    // A save compares the row as read with the row as stored; on a server the
    // row stays locked until the save ends, so that no colleague's save comes
    // between the two.
    const QString lockRow = onServer ? QStringLiteral(" FOR UPDATE") : QString();
    uFirmez.currentRowSql = QStringLiteral("SELECT * FROM firme WHERE id = :OLD_id") + lockRow;
    uDeclaratii.currentRowSql = QStringLiteral("SELECT * FROM declaratii WHERE id = :OLD_id") + lockRow;
    qryFirme->Open();
    qryJudete->Open();
    qryJudL->Open();
    // The declarations are opened later, for one payer and period; their table
    // must be there from the start all the same.
    Statement probe(con, QStringLiteral("SELECT * FROM declaratii WHERE 0"));
}

Tdm::~Tdm()
{
    // The datasets hold statements of the connection and may be reading its
    // file in a thread of their own: they go while the connection is open,
    // each after the data sources over it.
    for (DataSource* source : { sDeclaratii, sJudL, sJudete, sFirme })
        delete source;
    for (Dataset* dataset : { qryDeclaratii, qryJudL, qryJudete, qryFirme })
        delete dataset;
    // What borrowed the connection's handle stops here, before the members go.
    con.close();
}

void Tdm::qryFirmeBeforePost(Dataset& dataset)
{
    cleanPayer(dataset);
    Q_EMIT payerCleaned();
}

void Tdm::qryDeclaratiiBeforePost(Dataset& dataset)
{
    fillEmptyColumns(dataset, false);
}

} // namespace itm
