#include "declaration/SalaryFund.h"

#include "declaration/Commission.h"

namespace itm {

namespace {

RuleOutcome refusedFund()
{
    RuleOutcome outcome;
    outcome.fail(QStringLiteral("Fondul lunar de salarii trebuie sa fie un numar intreg, pozitiv sau zero."),
        QStringLiteral("fondlunsal"));
    return outcome;
}

} // namespace

RuleOutcome DeclarationCommission(double fund, bool reducedRate)
{
    const auto commission = CommissionDue(fund, reducedRate);
    if (!commission) {
        RuleOutcome outcome = refusedFund();
        outcome.write(QStringLiteral("comdat"), QString());
        return outcome;
    }
    RuleOutcome outcome;
    outcome.write(QStringLiteral("comdat"), *commission);
    return outcome;
}

RuleOutcome ValidateSalaryFund(std::optional<double> fund)
{
    if (fund && !IsStorableSalaryFund(*fund))
        return refusedFund();
    return {};
}

} // namespace itm
