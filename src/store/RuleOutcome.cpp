#include "store/RuleOutcome.h"

#include "store/Dataset.h"

namespace itm {

void ApplyWrites(Dataset& record, const QList<ColumnWrite>& writes)
{
    for (const ColumnWrite& write : writes)
        record.FieldByName(write.column).setAsVariant(write.value);
}

} // namespace itm
