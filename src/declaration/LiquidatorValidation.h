#pragma once

#include "store/RuleOutcome.h"

namespace itm {

class RecordReader;

// The day, month and year of the liquidation date as they stand in their
// fields: the date is judged on what was typed.
struct DateTexts
{
    QString day;
    QString month;
    QString year;
};

// The checks of a bankrupt payer's liquidator before the declaration is
// saved, in their order: code, name, county, locality, street (a blank number
// becomes "F.N."), the Bucharest sector (a Bucharest liquidator's locality
// becomes the county, any other liquidator's sector 0), then the date. A date
// that exists is written into lzi, lln and lan even when its year is before
// 1990 and refused. countyName is the liquidator's county as shown.
RuleOutcome ValidateLiquidator(const RecordReader& payer, const QString& countyName, const DateTexts& date);

} // namespace itm
