#include "output/PrintedForms.h"

#include "output/FormLayouts.h"

namespace itm {

// Members are created in their order of declaration: rLunff, rIan, rLun.
PrintedForms::PrintedForms()
    : m_rLunff(CreateTrLunff())
    , m_rIan(CreateTrIan())
    , m_rLun(CreateTrLun())
{
}

Form& PrintedForms::form(PrintedFormChoice choice)
{
    switch (choice) {
    case PrintedFormChoice::January2006:
        return m_rIan;
    case PrintedFormChoice::Bankruptcy:
        return m_rLun;
    case PrintedFormChoice::Monthly:
        break;
    }
    return m_rLunff;
}

PageLayout PrintedForms::layOut(PrintedFormChoice choice, const FormData& data, double targetDpi)
{
    Form& chosen = form(choice);
    QRBand1BeforePrint(chosen, data);
    return LayOutPage(chosen, data, targetDpi);
}

} // namespace itm
