#pragma once

#include "store/RecordReader.h"
#include "store/RuleOutcome.h"

#include <QList>
#include <QPair>
#include <QStringList>

namespace itm::test {

// A record holding the given columns, as the rules without a window read one.
inline RowRecord recordOf(const QList<QPair<const char*, QVariant>>& values)
{
    RowRecord record;
    for (const auto& [column, value] : values)
        record.setValue(QString::fromLatin1(column), value);
    return record;
}

// The defaults a rule wrote, as "column=value;..." in the order written.
inline QString writesText(const QList<ColumnWrite>& writes)
{
    QStringList parts;
    for (const ColumnWrite& write : writes)
        parts << write.column + u'=' + valueText(write.value);
    return parts.join(u';');
}

} // namespace itm::test
