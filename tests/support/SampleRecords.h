#pragma once

#include "output/FormData.h"
#include "store/RecordReader.h"
#include "store/RegisterColumns.h"
#include "support/TestDatabase.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>
#include <stdexcept>

// The sample payers and declarations of the tests, as records and as the
// statements that store them. A payer row holds every column of the
// register's one list, in its order: a column added to the register without a
// sample value stops every test that builds a row, here, with its name.
namespace itm::test::samples {

inline void set(RowRecord& record, const char* column, const QVariant& value)
{
    record.setValue(QString::fromLatin1(column), value);
}

// A record holding the given columns only, as the rules without a window read one.
inline RowRecord recordOf(const QList<QPair<const char*, QVariant>>& values)
{
    RowRecord record;
    for (const auto& [column, value] : values)
        set(record, column, value);
    return record;
}

// The row with the given columns changed.
inline RowRecord with(RowRecord row, const QList<QPair<const char*, QVariant>>& changes)
{
    for (const auto& [column, value] : changes)
        set(row, column, value);
    return row;
}

// The values in the order of columns; one missing is a fault of the samples.
inline RowRecord rowOf(const QStringList& columns, const QHash<QString, QVariant>& values)
{
    RowRecord row;
    for (const QString& column : columns) {
        if (!values.contains(column))
            throw std::logic_error("no sample value for the column " + column.toStdString());
        row.setValue(column, values.value(column));
    }
    return row;
}

// A liquidator's columns with nothing in them, as the before-post rule leaves
// them for a payer that is not in bankruptcy.
inline QHash<QString, QVariant> noLiquidator()
{
    QHash<QString, QVariant> values { { QStringLiteral("faliment"), qint64(0) },
        { QStringLiteral("lcui"), QStringLiteral("0") }, { QStringLiteral("lsector"), qint64(0) } };
    for (const QString& column : LiquidatorTextColumns())
        values.insert(column, QStringLiteral(" "));
    for (const char* column : { "lzi", "lln", "lan" })
        values.insert(QString::fromLatin1(column), qint64(0));
    return values;
}

// A payer in Bucharest, sector 3, not in bankruptcy; texts as the before-post
// rule stores them (one blank for nothing).
inline RowRecord payer(const QString& cui = QStringLiteral("123456789"), const QString& name = QStringLiteral("ALFA"))
{
    QHash<QString, QVariant> values = noLiquidator();
    values.insert(
        { { QStringLiteral("cui"), cui }, { QStringLiteral("prefix"), qint64(1) }, { QStringLiteral("denumire"), name },
            { QStringLiteral("sufix"), qint64(1) }, { QStringLiteral("codjudet"), QStringLiteral("40") },
            { QStringLiteral("loc"), QStringLiteral("BUCURESTI") }, { QStringLiteral("sector"), qint64(3) },
            { QStringLiteral("str"), QStringLiteral("VICTORIEI") }, { QStringLiteral("nr"), QStringLiteral("10") },
            { QStringLiteral("bloc"), QStringLiteral(" ") }, { QStringLiteral("scara"), QStringLiteral(" ") },
            { QStringLiteral("ap"), QStringLiteral(" ") }, { QStringLiteral("codpostal"), QStringLiteral("010101") },
            { QStringLiteral("telefon"), QStringLiteral("0211234567") },
            { QStringLiteral("email"), QStringLiteral("office@alfa.ro") },
            { QStringLiteral("banca"), QStringLiteral("BCR") },
            { QStringLiteral("cont"), QStringLiteral("RO49AAAA1B31007593840000") },
            { QStringLiteral("numerep"), QStringLiteral("POPESCU") },
            { QStringLiteral("prenumerep"), QStringLiteral("ION") },
            { QStringLiteral("funcrep"), QStringLiteral("ADMINISTRATOR") } });
    return rowOf(PayerColumns(), values);
}

// The payer above in bankruptcy, with a liquidator in Cluj-Napoca.
inline RowRecord bankruptPayer(
    const QString& cui = QStringLiteral("123456789"), const QString& name = QStringLiteral("ALFA"))
{
    return with(payer(cui, name),
        { { "faliment", qint64(1) }, { "lcui", QStringLiteral("1900101000006") },
            { "ldenumire", QStringLiteral("LICHIDATOR SPRL") }, { "lcodjudet", QStringLiteral("12") },
            { "lloc", QStringLiteral("CLUJ-NAPOCA") }, { "lsector", qint64(0) }, { "lstr", QStringLiteral("HOREA") },
            { "lnr", QStringLiteral("F.N.") }, { "lbloc", QStringLiteral("B1") }, { "lscara", QStringLiteral("A") },
            { "lap", QStringLiteral("7") }, { "lcodpostal", QStringLiteral("400001") },
            { "lemail", QStringLiteral("lichidator@ex.ro") }, { "ltelefon", QStringLiteral("0264111222") },
            { "lzi", qint64(5) }, { "lln", qint64(3) }, { "lan", qint64(2004) } });
}

// A payer in Craiova (county 16) with every column filled, the liquidator's
// blank whether or not it is in bankruptcy: what the window tests open.
inline RowRecord craiovaPayer(const QString& cui, const QString& name = QStringLiteral("ALFA"), int faliment = 0)
{
    return with(payer(cui, name),
        { { "codjudet", QStringLiteral("16") }, { "loc", QStringLiteral("CRAIOVA") }, { "sector", qint64(0) },
            { "str", QStringLiteral("UNIRII") }, { "nr", QStringLiteral("5") },
            { "codpostal", QStringLiteral("200100") }, { "telefon", QStringLiteral("0251000000") },
            { "faliment", qint64(faliment) } });
}

// A value as an SQL literal: numbers as they are, texts quoted, nothing NULL.
inline QByteArray sqlLiteral(const QVariant& value)
{
    if (value.isNull())
        return "NULL";
    if (value.typeId() == QMetaType::QString) {
        QString text = value.toString();
        return '\'' + text.replace(u'\'', QStringLiteral("''")).toUtf8() + '\'';
    }
    return valueText(value).toUtf8();
}

// "INSERT INTO table (columns) VALUES (values);", the row key first when given.
inline QByteArray insertOf(const char* table, const RowRecord& row, qint64 id = 0)
{
    QStringList columns = row.columns();
    QByteArrayList values;
    for (const QString& column : columns)
        values.append(sqlLiteral(row.fieldValue(column)));
    if (id > 0) {
        columns.prepend(QStringLiteral("id"));
        values.prepend(QByteArray::number(id));
    }
    return QByteArray("INSERT INTO ") + table + " (" + columns.join(QStringLiteral(", ")).toUtf8() + ") VALUES ("
        + values.join(", ") + ");\n";
}

// The insert of a Bucharest payer with the given row key, in bankruptcy or not.
inline QByteArray payerRow(int id, const char* cui, const char* name, bool bankrupt = false)
{
    const QString code = QString::fromUtf8(cui);
    const QString text = QString::fromUtf8(name);
    return insertOf("firme", bankrupt ? bankruptPayer(code, text) : payer(code, text), id);
}

// A Craiova payer stored into a test database; its id is the rowid.
inline void addPayer(
    const TestDatabase& db, const QString& cui, const QString& name = QStringLiteral("ALFA"), int faliment = 0)
{
    db.exec(insertOf("firme", craiovaPayer(cui, name, faliment)));
}

// The insert of a declaration; amounts are "rectificativ, com25, nrsal,
// fondlunsal, comdat, comac, comdec, comdecac" as SQL, so that a test can
// store what the program would refuse.
inline QByteArray declarationRow(int idfirma, int month, int year, const char* amounts = "0, 0, 12, 2000, 15, 15, 0, 0")
{
    return "INSERT INTO declaratii (" + DeclarationColumns().join(QStringLiteral(", ")).toUtf8() + ") VALUES ("
        + QByteArray::number(idfirma) + ", " + QByteArray::number(month) + ", " + QByteArray::number(year) + ", "
        + amounts + ");\n";
}

// The declaration that declarationRow stores by default, as read back.
inline RowRecord declaration(qint64 month, qint64 year)
{
    RowRecord row;
    set(row, "id", qint64(7));
    set(row, "idfirma", qint64(1));
    set(row, "ln", month);
    set(row, "an", year);
    set(row, "rectificativ", qint64(0));
    set(row, "com25", qint64(0));
    set(row, "nrsal", qint64(12));
    set(row, "fondlunsal", 2000.0); // a NUMERIC column comes back as a real
    set(row, "comdat", qint64(15));
    set(row, "comac", qint64(15));
    set(row, "comdec", qint64(0));
    set(row, "comdecac", qint64(0));
    return row;
}

// The payer of the printed forms: every line of the form filled, the
// liquidator's too, whether or not it is in bankruptcy.
inline RowRecord printedPayer(qint64 faliment = 0)
{
    return recordOf({ { "cui", QStringLiteral("RO1234567") }, { "prefix", qint64(1) },
        { "denumire", QStringLiteral("ALFA") }, { "sufix", qint64(1) }, { "loc", QStringLiteral("BUCURESTI") },
        { "sector", qint64(3) }, { "str", QStringLiteral("VICTORIEI") }, { "nr", QStringLiteral("10") },
        { "bloc", QStringLiteral("A1") }, { "scara", QStringLiteral("2") }, { "ap", QStringLiteral("14") },
        { "codpostal", QStringLiteral("010101") }, { "telefon", QStringLiteral("0211234567") },
        { "email", QStringLiteral("office@alfa.ro") }, { "banca", QStringLiteral("BCR SUCURSALA UNIRII") },
        { "cont", QStringLiteral("RO49RNCB0082044161370001") }, { "numerep", QStringLiteral("POPESCU") },
        { "prenumerep", QStringLiteral("ION") }, { "funcrep", QStringLiteral("ADMINISTRATOR") },
        { "faliment", faliment }, { "lcui", QStringLiteral("1900101000006") },
        { "ldenumire", QStringLiteral("LICHIDATOR SPRL") }, { "lloc", QStringLiteral("CLUJ-NAPOCA") },
        { "lsector", qint64(2) }, { "lstr", QStringLiteral("HOREA") }, { "lnr", QStringLiteral("7") },
        { "lbloc", QStringLiteral("B1") }, { "lscara", QStringLiteral("A") }, { "lap", QStringLiteral("9") },
        { "ltelefon", QStringLiteral("0264111222") }, { "lemail", QStringLiteral("lichidator@ex.ro") },
        { "lzi", qint64(5) }, { "lln", qint64(3) }, { "lan", qint64(2006) } });
}

inline RowRecord printedDeclaration(qint64 month = 3, qint64 year = 2006)
{
    return recordOf({ { "ln", month }, { "an", year }, { "rectificativ", qint64(0) }, { "com25", qint64(0) },
        { "nrsal", qint64(12) }, { "fondlunsal", 20000.0 }, { "comdat", qint64(150) }, { "comac", qint64(100) },
        { "comdec", qint64(0) }, { "comdecac", qint64(0) } });
}

inline RowRecord county(const char* name)
{
    return recordOf({ { "denumire", QString::fromLatin1(name) } });
}

// The four records of one print, owned together.
struct PrintRecords
{
    RowRecord declaration = printedDeclaration();
    RowRecord payer = printedPayer();
    RowRecord payerCounty = county("BUCURESTI");
    RowRecord liquidatorCounty = county("CLUJ");

    FormData data() const { return FormData { &declaration, &payer, &payerCounty, &liquidatorCounty }; }
};

} // namespace itm::test::samples
