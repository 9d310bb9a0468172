#pragma once

#include <QtGlobal>
#include <optional>

namespace itm {

// Commission rates in ten-thousandths of the salary fund.
constexpr qint64 kStandardRateTenThousandths = 75; // 0.75 %
constexpr qint64 kReducedRateTenThousandths = 25; // 0.25 %

// Commission due on a monthly salary fund: fund x 0.75 % (or 0.25 % when
// reducedRate), rounded to the nearest whole RON with halves up, and at least
// 1 RON when the fund is not 0. Computed in integers, so exact halves never
// misround. A negative fund, one that is not a whole number of RON (or not a
// finite number) or one beyond the 64-bit range has no commission: the result
// is then empty and the caller tells the user.
std::optional<qint64> CommissionDue(double fund, bool reducedRate);

// Whether a declaration may be saved with this salary fund: a whole number of
// RON from 0 to 9999999999, the ten digits its field holds. Anything else
// (negative, fractional, written with an exponent beyond ten digits) would
// reach the declaration file as a fraction or an overflowed integer.
bool IsStorableSalaryFund(double fund);

} // namespace itm
