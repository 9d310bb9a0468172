#pragma once

#include "store/RuleOutcome.h"

namespace itm {

class RecordReader;

// The checks a payer passes before it is saved, in their order: the legal
// name, county, locality, street, the representative, then the Bucharest
// sector. A blank number becomes "F.N.", an empty bank "fara banca", an empty
// account "fara iban"; a Bucharest payer's locality becomes the county, any
// other payer's sector 0. countyName is the county as the user sees it (the
// county key's name).
RuleOutcome ValidatePayer(const RecordReader& payer, const QString& countyName);

} // namespace itm
