#pragma once

#include "exchange/Sheet.h"

#include <QHash>
#include <memory>

namespace itm {
class Connection;
class Statement;
} // namespace itm

namespace itm::exchange {

enum class RegisterColumns
{
    // Every column of the register, the counties by name and the composed
    // legal name beside its parts: the workbook.
    Everything,
    // The columns of a payer file, as the import reads them: the CSV file.
    PayerFile,
};

// The payer register as a table, one row per payer in the register's order
// (the code, byte by byte). Numbers stay numbers; codes and every other text
// stay texts exactly as stored, so that a payer file imports again unchanged.
class RegisterSheet : public SheetSource
{
public:
    RegisterSheet(Connection& connection, RegisterColumns columns);
    ~RegisterSheet() override;

    QString title() const override { return QStringLiteral("Contribuabili"); }
    QStringList header() const override;
    bool next(SheetRow& row) override;
    qint64 rowCount() const override { return m_rowCount; }

private:
    struct Column
    {
        QString header;
        enum Kind
        {
            Stored,
            CountyName,
            ComposedName,
        } kind;
        QString stored; // the register column read (the county key for CountyName)
        int field = -1; // its place in the statement's row
    };

    QList<Column> m_columns;
    QHash<QString, QString> m_countyNames;
    std::unique_ptr<Statement> m_payers;
    qint64 m_rowCount = 0;
    int m_prefixField = -1;
    int m_denumireField = -1;
    int m_sufixField = -1;
};

} // namespace itm::exchange
