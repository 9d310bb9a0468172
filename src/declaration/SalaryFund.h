#pragma once

#include "store/RuleOutcome.h"

#include <optional>

namespace itm {

// The commission of a declaration, computed when its salary fund or its rate
// is left: written into comdat at the rate (com25 set: the reduced one). A
// fund that has no commission (negative, fractional, beyond the field's
// digits) empties comdat and is refused with the message on fondlunsal.
RuleOutcome DeclarationCommission(double fund, bool reducedRate);

// Before a declaration is saved: a fund, when there is one, is a whole
// number of RON that its field holds; otherwise the same message sends the
// user back to fondlunsal. No fund at all is left to the declaration's
// other checks.
RuleOutcome ValidateSalaryFund(std::optional<double> fund);

} // namespace itm
