#pragma once

#include "month/MonthPeriod.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace itm {

class Connection;

// The code of the next payer after currentCode that has no declaration for
// the period: in payer-code order (codes compared byte by byte), or, when
// order is given (the codes as a list showed them), in that order. None when
// no payer is left.
std::optional<QString> NextPayerWithoutDeclaration(Connection& connection, const MonthPeriod& period,
    const QString& currentCode, const std::optional<QStringList>& order = std::nullopt);

} // namespace itm
