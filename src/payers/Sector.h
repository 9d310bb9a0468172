#pragma once

#include <QString>

namespace itm {

// A Bucharest sector field holds nothing, "0" or one of the sectors "1" to "6";
// anything else typed into it becomes "0". Returns the text the field keeps.
QString SectorFieldText(const QString& typed);

} // namespace itm
