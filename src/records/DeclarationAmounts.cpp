#include "records/DeclarationAmounts.h"

#include "store/Connection.h"
#include "store/RecordReader.h"

namespace itm {

qint64 DeclarationAmount(const Statement& row, int column, const QString& name)
{
    if (row.holdsInteger(column))
        return row.integer(column);
    try {
        return valueInteger(row.value(column));
    } catch (const ConversionError& error) {
        throw NumberColumnError(name, error);
    }
}

QString SalaryFundText(const QVariant& fund)
{
    if (fund.typeId() == QMetaType::Double)
        return valueText(fund);
    try {
        return QString::number(valueInteger(fund));
    } catch (const ConversionError& error) {
        throw NumberColumnError(QStringLiteral("fondlunsal"), error);
    }
}

} // namespace itm
