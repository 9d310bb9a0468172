#pragma once

#include <QString>

namespace itm {

// The county whose localities are the capital's sectors: a payer or a
// liquidator there has a sector from 1 to 6, and its locality is the county.
inline const QString& bucharestCounty()
{
    static const QString name = QStringLiteral("BUCURESTI");
    return name;
}

inline bool isBucharest(const QString& countyName)
{
    return countyName == bucharestCounty();
}

} // namespace itm
