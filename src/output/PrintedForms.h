#pragma once

#include "output/FormFill.h"
#include "output/FormModel.h"
#include "output/PageLayout.h"

namespace itm {

// The three form definitions, created once (rLunff, rIan, rLun, in this order)
// and reused by every print: what a fill step writes into a form stays until
// the next fill step of that form.
class PrintedForms
{
public:
    PrintedForms();

    Form& rLunff() { return m_rLunff; }
    Form& rIan() { return m_rIan; }
    Form& rLun() { return m_rLun; }
    Form& form(PrintedFormChoice choice);

    // Runs the chosen form's fill step on data and lays its page out: what a
    // print preview calls each time it needs the page.
    PageLayout layOut(PrintedFormChoice choice, const FormData& data, double targetDpi = 1200);

private:
    Form m_rLunff;
    Form m_rIan;
    Form m_rLun;
};

} // namespace itm
