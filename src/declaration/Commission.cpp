#include "declaration/Commission.h"

#include <cmath>

namespace itm {

std::optional<qint64> CommissionDue(double fund, bool reducedRate)
{
    // 2^63 is exactly representable; every whole double below it fits qint64.
    constexpr double kBeyondRange = 9223372036854775808.0;
    if (!std::isfinite(fund) || fund < 0 || fund >= kBeyondRange || fund != std::trunc(fund))
        return std::nullopt;
    const auto wholeFund = static_cast<qint64>(fund);
    if (wholeFund == 0)
        return 0;
    const qint64 rate = reducedRate ? kReducedRateTenThousandths : kStandardRateTenThousandths;
    // Split the fund so that no product can overflow, whatever its size:
    // fund x rate / 10000 = (fund / 10000) x rate + (fund % 10000) x rate / 10000.
    const qint64 commission = (wholeFund / 10000) * rate + ((wholeFund % 10000) * rate + 5000) / 10000;
    return commission == 0 ? 1 : commission;
}

bool IsStorableSalaryFund(double fund)
{
    constexpr double kLargestTenDigits = 9999999999.0;
    return std::isfinite(fund) && fund >= 0 && fund <= kLargestTenDigits && fund == std::trunc(fund);
}

} // namespace itm
