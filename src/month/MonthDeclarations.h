#pragma once

#include "month/MonthPeriod.h"
#include "store/RecordReader.h"

#include <QHash>
#include <QVector>
#include <memory>

namespace itm {

class Connection;
class Statement;

// The declarations of one month, one per declared payer (the first saved, as
// the month listing shows it), in payer-code order. Only their keys are held;
// each payer's and declaration's whole record is read when asked for, so a
// month of a large register can be printed page by page.
class MonthDeclarations
{
public:
    MonthDeclarations(Connection& connection, const MonthPeriod& period);
    ~MonthDeclarations();
    MonthDeclarations(const MonthDeclarations&) = delete;
    MonthDeclarations& operator=(const MonthDeclarations&) = delete;

    const MonthPeriod& period() const { return m_period; }
    int count() const { return int(m_keys.size()); }

    struct Records
    {
        RowRecord payer; // a row of firme
        RowRecord declaration; // a row of declaratii
    };
    // The records of the declaration at index (0 .. count() - 1).
    Records read(int index) const;

    // The county row of a county key, with its column denumire, as the
    // printed form reads it; nothing for an unknown key.
    const RowRecord* county(const QString& key) const;

private:
    struct Keys
    {
        qint64 payerId;
        qint64 declarationId;
    };
    MonthPeriod m_period;
    QVector<Keys> m_keys;
    QHash<QString, RowRecord> m_counties;
    std::unique_ptr<Statement> m_payer;
    std::unique_ptr<Statement> m_declaration;
};

} // namespace itm
