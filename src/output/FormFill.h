#pragma once

#include "output/FormData.h"
#include "output/FormModel.h"

namespace itm {

class RecordReader;

// Which of the three forms prints a declaration.
enum class PrintedFormChoice
{
    Monthly, // rLunff: a payer not in bankruptcy
    January2006, // rIan: the declaration of January 2006, bankrupt or not
    Bankruptcy, // rLun: a payer in bankruptcy
};

// January 2006 (ln 1, an 2006) prints rIan whatever faliment holds; otherwise
// any non-zero faliment prints rLun, and 0 prints rLunff. The three columns
// and the declaration's amounts are read with the strict whole-number
// conversion: a text or a real that is no whole number raises
// ConversionError naming the column, and the page is not printed.
PrintedFormChoice ChoosePrintedForm(const RecordReader& declaration, const RecordReader& payer);

// The fill step, run every time the form's page is laid out: sets the captions
// of the filled texts (tick cells, month texts, "Initiala"/"Rectificativa",
// composed name) and whether the sector fields print. Reads the records afresh
// each time and never throws. A prefix or suffix outside its table leaves
// both name elements as they were.
void QRBand1BeforePrint(Form& form, const FormData& data);

} // namespace itm
