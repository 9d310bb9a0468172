#pragma once

#include "store/RecordReader.h"
#include "store/RuleOutcome.h"

#include <QList>
#include <QStringList>

namespace itm::test {

// The defaults a rule wrote, as "column=value;..." in the order written.
inline QString writesText(const QList<ColumnWrite>& writes)
{
    QStringList parts;
    for (const ColumnWrite& write : writes)
        parts << write.column + u'=' + valueText(write.value);
    return parts.join(u';');
}

} // namespace itm::test
