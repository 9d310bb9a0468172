#include "records/DeletedPayers.h"

#include "payers/LegalForms.h"
#include "store/Connection.h"
#include "store/RegisterColumns.h"

namespace itm {

namespace {

QString joined(const QStringList& columns, const QString& alias = QString())
{
    QStringList named;
    for (const QString& column : columns)
        named.append(alias.isEmpty() ? column : alias + u'.' + column);
    return named.join(QStringLiteral(", "));
}

void run(Connection& connection, const QString& sql, const QList<std::pair<QString, QVariant>>& values)
{
    Statement statement(connection, sql);
    for (const auto& [name, value] : values)
        statement.bind(name, value);
    statement.step();
}

qint64 formIndex(const QVariant& value)
{
    bool ok = false;
    const qint64 index = value.toLongLong(&ok);
    return ok ? index : -1;
}

} // namespace

qint64 DeletePayerKeepingHistory(
    Connection& connection, qint64 payerId, bool keepHistory, const QString& when, bool deletePayerRow)
{
    Transaction transaction(connection);
    const QString payer = QStringLiteral("payer");
    qint64 deletion = 0;
    if (keepHistory) {
        run(connection,
            QStringLiteral("INSERT INTO firme_sterse (sters, id, %1) SELECT :when, id, %1 FROM firme WHERE id = :payer")
                .arg(joined(PayerColumns())),
            { { QStringLiteral("when"), when }, { payer, payerId } });
        deletion = connection.lastInsertRowId();
        run(connection,
            QStringLiteral("INSERT INTO declaratii_sterse (idstergere, id, %1) SELECT :deletion, id, %1 "
                           "FROM declaratii WHERE idfirma = :payer ORDER BY id")
                .arg(joined(DeclarationColumns())),
            { { QStringLiteral("deletion"), deletion }, { payer, payerId } });
        run(connection,
            QStringLiteral(
                "UPDATE versiuni_declaratii SET idstergere = :deletion WHERE idfirma = :payer AND idstergere IS NULL"),
            { { QStringLiteral("deletion"), deletion }, { payer, payerId } });
    }
    run(connection, QStringLiteral("DELETE FROM declaratii WHERE idfirma = :payer"), { { payer, payerId } });
    if (deletePayerRow)
        run(connection, QStringLiteral("DELETE FROM firme WHERE id = :payer"), { { payer, payerId } });
    transaction.commit();
    return deletion;
}

QList<DeletedPayer> DeletedPayers(Connection& connection)
{
    Statement query(connection,
        QStringLiteral("SELECT s.idstergere, s.cui, s.prefix, s.denumire, s.sufix, s.sters, "
                       "(SELECT count(*) FROM declaratii_sterse d WHERE d.idstergere = s.idstergere) "
                       "FROM firme_sterse s ORDER BY s.idstergere DESC"));
    QList<DeletedPayer> payers;
    while (query.step()) {
        DeletedPayer payer;
        payer.deletion = query.integer(0);
        payer.code = query.text(1);
        const QString bareName = query.text(3);
        payer.name
            = ComposedLegalName(formIndex(query.value(2)), bareName, formIndex(query.value(4))).value_or(bareName);
        payer.deleted = query.text(5);
        payer.declarations = query.integer(6);
        payers.append(payer);
    }
    return payers;
}

UndeleteOutcome UndeletePayer(Connection& connection, const QString& code, qint64* declarations)
{
    Transaction transaction(connection);
    Statement taken(connection, QStringLiteral("SELECT 1 FROM firme WHERE cui = :cui LIMIT 1"));
    taken.bind(QStringLiteral("cui"), code);
    if (taken.step())
        return UndeleteOutcome::CodeTaken;
    Statement latest(connection,
        QStringLiteral("SELECT idstergere FROM firme_sterse WHERE cui = :cui ORDER BY idstergere DESC LIMIT 1"));
    latest.bind(QStringLiteral("cui"), code);
    if (!latest.step())
        return UndeleteOutcome::NotDeleted;
    const qint64 deletion = latest.integer(0);

    // The former key when no payer holds it now, else a new one.
    run(connection,
        QStringLiteral("INSERT INTO firme (id, %1) SELECT CASE WHEN EXISTS (SELECT 1 FROM firme f WHERE f.id = s.id) "
                       "THEN NULL ELSE s.id END, %1 FROM firme_sterse s WHERE s.idstergere = :deletion")
            .arg(joined(PayerColumns())),
        { { QStringLiteral("deletion"), deletion } });
    const qint64 payerId = connection.lastInsertRowId();

    // The declarations were kept in the order of their keys, each key once
    // (a payer's declarations are rows of one table).
    Statement deleted(
        connection, QStringLiteral("SELECT id FROM declaratii_sterse WHERE idstergere = :deletion ORDER BY id"));
    deleted.bind(QStringLiteral("deletion"), deletion);
    Statement insert(connection,
        QStringLiteral("INSERT INTO declaratii (id, idfirma, %1) SELECT CASE WHEN EXISTS (SELECT 1 FROM declaratii x "
                       "WHERE x.id = s.id) THEN NULL ELSE s.id END, :payer, %1 FROM declaratii_sterse s "
                       "WHERE s.idstergere = :deletion AND s.id = :former")
            .arg(joined(DeclarationColumns().mid(1))));
    Statement versions(connection,
        QStringLiteral("UPDATE versiuni_declaratii SET idstergere = NULL, iddeclaratie = :declaration, "
                       "idfirma = :payer WHERE idstergere = :deletion AND iddeclaratie = :former"));
    qint64 restored = 0;
    while (deleted.step()) {
        ++restored;
        insert.reset();
        insert.bind(QStringLiteral("payer"), payerId);
        insert.bind(QStringLiteral("deletion"), deletion);
        insert.bind(QStringLiteral("former"), deleted.value(0));
        insert.step();
        versions.reset();
        versions.bind(QStringLiteral("declaration"), connection.lastInsertRowId());
        versions.bind(QStringLiteral("payer"), payerId);
        versions.bind(QStringLiteral("deletion"), deletion);
        versions.bind(QStringLiteral("former"), deleted.value(0));
        versions.step();
    }
    run(connection, QStringLiteral("DELETE FROM declaratii_sterse WHERE idstergere = :deletion"),
        { { QStringLiteral("deletion"), deletion } });
    run(connection, QStringLiteral("DELETE FROM firme_sterse WHERE idstergere = :deletion"),
        { { QStringLiteral("deletion"), deletion } });
    transaction.commit();
    if (declarations)
        *declarations = restored;
    return UndeleteOutcome::Restored;
}

} // namespace itm
