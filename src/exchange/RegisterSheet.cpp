#include "exchange/RegisterSheet.h"

#include "exchange/PayerColumns.h"
#include "payers/LegalForms.h"
#include "store/Connection.h"
#include "store/RecordReader.h"
#include "store/RegisterColumns.h"
#include "store/StrictNumber.h"

namespace itm::exchange {

namespace {

// The liquidator's columns close the register's payer row.
QStringList liquidatorColumns()
{
    return PayerColumns().mid(PayerColumns().indexOf(QStringLiteral("lcui")));
}

// A number column holds a number; anything else it may hold (and every text
// column) is written as the text it reads as.
SheetCell storedCell(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return SheetCell::Number(value.toLongLong());
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (number == double(qint64(number)))
            return SheetCell::Number(qint64(number));
        break;
    }
    default:
        break;
    }
    return SheetCell::Text(valueText(value));
}

// A legal-form index as stored; -1 (no form) when it is no number.
qint64 formIndex(const QVariant& value)
{
    if (value.typeId() == QMetaType::LongLong)
        return value.toLongLong();
    return TryStrToInt(valueText(value)).value_or(-1);
}

} // namespace

RegisterSheet::RegisterSheet(Connection& connection, RegisterColumns columns)
{
    for (const QString& name : PayerFileColumns()) {
        if (name == countyFileColumn())
            m_columns.append({ name, Column::CountyName, QStringLiteral("codjudet") });
        else
            m_columns.append({ name, Column::Stored, name });
        if (columns == RegisterColumns::Everything && name == u"sufix")
            m_columns.append({ QStringLiteral("denumire completa"), Column::ComposedName, QString() });
    }
    if (columns == RegisterColumns::Everything) {
        m_columns.append({ QStringLiteral("faliment"), Column::Stored, QStringLiteral("faliment") });
        for (const QString& name : liquidatorColumns()) {
            if (name == u"lcodjudet")
                m_columns.append({ QStringLiteral("ljudet"), Column::CountyName, name });
            else
                m_columns.append({ name, Column::Stored, name });
        }
    }

    Statement counties(connection, QStringLiteral("SELECT codjudet, denumire FROM judete"));
    while (counties.step())
        m_countyNames.insert(counties.text(0), counties.text(1));

    Statement count(connection, QStringLiteral("SELECT count(*) FROM firme"));
    if (count.step())
        m_rowCount = count.value(0).toLongLong();

    m_payers = std::make_unique<Statement>(connection, QStringLiteral("SELECT * FROM firme ORDER BY cui, id"));
    QHash<QString, int> fieldOfColumn;
    for (int i = 0; i < m_payers->columnCount(); ++i)
        fieldOfColumn.insert(m_payers->columnName(i), i);
    for (Column& column : m_columns)
        column.field = fieldOfColumn.value(column.stored, -1);
    m_prefixField = fieldOfColumn.value(QStringLiteral("prefix"), -1);
    m_denumireField = fieldOfColumn.value(QStringLiteral("denumire"), -1);
    m_sufixField = fieldOfColumn.value(QStringLiteral("sufix"), -1);
}

RegisterSheet::~RegisterSheet() = default;

QStringList RegisterSheet::header() const
{
    QStringList names;
    for (const Column& column : m_columns)
        names.append(column.header);
    return names;
}

bool RegisterSheet::next(SheetRow& row)
{
    if (!m_payers->step())
        return false;
    auto stored = [&](int field) { return m_payers->value(field); };
    row.clear();
    row.reserve(m_columns.size());
    for (const Column& column : std::as_const(m_columns)) {
        switch (column.kind) {
        case Column::Stored:
            row.append(storedCell(stored(column.field)));
            break;
        case Column::CountyName:
            row.append(SheetCell::Text(m_countyNames.value(valueText(stored(column.field)))));
            break;
        case Column::ComposedName: {
            const auto name = ComposedLegalName(
                formIndex(stored(m_prefixField)), valueText(stored(m_denumireField)), formIndex(stored(m_sufixField)));
            row.append(SheetCell::Text(name.value_or(QString())));
            break;
        }
        }
    }
    return true;
}

} // namespace itm::exchange
