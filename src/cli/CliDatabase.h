#pragma once

#include "store/Connection.h"
#include "store/RecordReader.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace itm::cli {

// A payer and one of its declarations, as the declaration line and the
// printed form read them.
struct DeclaredPayer
{
    RowRecord payer; // a row of firme
    RowRecord declaration; // a row of declaratii
};

// Read-only access to the program's database for itm-cli.
//
// The file is opened read-only and never created: a missing file or one that
// is not a database raises DatabaseError with SQLite's own message, as does
// any failing statement (for example "no such table: firme"); a folder in its
// place is reported as such.
//
// Rows come back as RowRecord with every column of the table by name, with the
// values the store reads everywhere else (Statement::value): whole numbers as
// qint64, reals as double, texts as QString (bytes that are no UTF-8 kept),
// NULL as a null QVariant. A text stored in a number column stays a QString,
// so reading it as a number raises the conversion error instead of giving 0.
class CliDatabase
{
public:
    static QString defaultPath() { return QStringLiteral("./data/date.itm"); }

    explicit CliDatabase(const QString& path = defaultPath());
    ~CliDatabase();
    CliDatabase(const CliDatabase&) = delete;
    CliDatabase& operator=(const CliDatabase&) = delete;

    const QString& path() const { return m_path; }
    // The read-only connection, for the rules that take one.
    Connection& connection() const { return m_connection; }

    // The payer whose cui equals code exactly (letter case and blanks count);
    // the first by id if several share it.
    std::optional<RowRecord> payerByCode(const QString& code) const;

    // How many payers have that code (more than one only in a register made
    // or changed outside the program).
    qint64 payersWithCode(const QString& code) const;

    // The declaration of payer idfirma for month ln of year an; the first by
    // id if several.
    std::optional<RowRecord> declaration(qint64 idfirma, qint64 ln, qint64 an) const;

    // The county name (judete.denumire) of a county key (judete.codjudet).
    std::optional<QString> countyName(const QString& codjudet) const;

    // Every payer with a declaration for month ln of year an, in payer-code
    // order (cui compared byte by byte), then by payer id and declaration id.
    QList<DeclaredPayer> declaredIn(qint64 ln, qint64 an) const;

    // The same rows one at a time, none held after visit returns (a month of
    // every payer of the country would not fit in memory as records). Returns
    // how many rows were visited.
    qint64 forEachDeclaredIn(qint64 ln, qint64 an,
        const std::function<void(const RowRecord& payer, const RowRecord& declaration)>& visit) const;

    // Every county as (codjudet, denumire), in name order as the window lists them.
    QList<QPair<QString, QString>> counties() const;

    // The most characters each column of a table holds, by column name, as the
    // window's fields cut their texts (0: no length declared).
    QHash<QString, int> columnSizes(const QString& table) const;

private:
    QString m_path;
    // Statements need a mutable connection; reading changes nothing in it.
    mutable Connection m_connection;
};

} // namespace itm::cli
