#pragma once

#include "output/FormModel.h"

namespace itm {

// The monthly declaration of a payer that is not in bankruptcy.
Form CreateTrLunff();

// The monthly declaration of a payer in bankruptcy: the monthly layout with the
// title and identification moved up, "Da" on the bankruptcy line and the
// liquidator block.
Form CreateTrLun();

// The January 2006 declaration: the monthly layout without the bankruptcy line,
// with the December 2005 block between the two halves of the notes.
Form CreateTrIan();

// Paragraphs of the notes of the monthly layout, the last one empty.
const QStringList& MonthlyNotesParagraphs();

} // namespace itm
