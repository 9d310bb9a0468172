#include "store/RegisterColumns.h"

#include <QSet>

namespace itm {

const QStringList& PayerColumns()
{
    static const QStringList columns = {
        QStringLiteral("cui"),
        QStringLiteral("prefix"),
        QStringLiteral("denumire"),
        QStringLiteral("sufix"),
        QStringLiteral("codjudet"),
        QStringLiteral("loc"),
        QStringLiteral("sector"),
        QStringLiteral("str"),
        QStringLiteral("nr"),
        QStringLiteral("bloc"),
        QStringLiteral("scara"),
        QStringLiteral("ap"),
        QStringLiteral("codpostal"),
        QStringLiteral("telefon"),
        QStringLiteral("email"),
        QStringLiteral("banca"),
        QStringLiteral("cont"),
        QStringLiteral("numerep"),
        QStringLiteral("prenumerep"),
        QStringLiteral("funcrep"),
        QStringLiteral("faliment"),
        QStringLiteral("lcui"),
        QStringLiteral("ldenumire"),
        QStringLiteral("lcodjudet"),
        QStringLiteral("lloc"),
        QStringLiteral("lsector"),
        QStringLiteral("lstr"),
        QStringLiteral("lnr"),
        QStringLiteral("lbloc"),
        QStringLiteral("lscara"),
        QStringLiteral("lap"),
        QStringLiteral("lcodpostal"),
        QStringLiteral("lemail"),
        QStringLiteral("ltelefon"),
        QStringLiteral("lzi"),
        QStringLiteral("lln"),
        QStringLiteral("lan"),
    };
    return columns;
}

const QStringList& DeclarationColumns()
{
    static const QStringList columns = {
        QStringLiteral("idfirma"),
        QStringLiteral("ln"),
        QStringLiteral("an"),
        QStringLiteral("rectificativ"),
        QStringLiteral("com25"),
        QStringLiteral("nrsal"),
        QStringLiteral("fondlunsal"),
        QStringLiteral("comdat"),
        QStringLiteral("comac"),
        QStringLiteral("comdec"),
        QStringLiteral("comdecac"),
    };
    return columns;
}

const QStringList& LiquidatorTextColumns()
{
    static const QStringList columns = [] {
        const QStringList& payer = PayerColumns();
        const auto first = payer.indexOf(QStringLiteral("ldenumire"));
        QStringList texts = payer.mid(first);
        texts.removeOne(QStringLiteral("lsector"));
        return texts;
    }();
    return columns;
}

bool IsIntegerColumn(const QString& column)
{
    static const QSet<QString> integerColumns = {
        QStringLiteral("id"),
        QStringLiteral("prefix"),
        QStringLiteral("sufix"),
        QStringLiteral("sector"),
        QStringLiteral("faliment"),
        QStringLiteral("lsector"),
        QStringLiteral("lzi"),
        QStringLiteral("lln"),
        QStringLiteral("lan"),
        QStringLiteral("idfirma"),
        QStringLiteral("ln"),
        QStringLiteral("an"),
        QStringLiteral("rectificativ"),
        QStringLiteral("com25"),
        QStringLiteral("nrsal"),
        QStringLiteral("comdat"),
        QStringLiteral("comac"),
        QStringLiteral("comdec"),
        QStringLiteral("comdecac"),
    };
    return integerColumns.contains(column);
}

QString InsertStatement(const QString& table, const QStringList& columns)
{
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (:%3)")
        .arg(table, columns.join(QStringLiteral(", ")), columns.join(QStringLiteral(", :")));
}

QString UpdateStatement(const QString& table, const QStringList& columns)
{
    QStringList assignments;
    for (const QString& column : columns)
        assignments.append(QStringLiteral("%1 = :%1").arg(column));
    return QStringLiteral("UPDATE %1 SET %2 WHERE (id = :OLD_id)").arg(table, assignments.join(QStringLiteral(", ")));
}

} // namespace itm
