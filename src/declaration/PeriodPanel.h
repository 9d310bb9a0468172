#pragma once

#include "widgets/FormBuilder.h"

#include <QFrame>
#include <functional>

class QLineEdit;

namespace itm {

class Tdm;

// The declaration period "(luna / anul)": preset to today's month and year;
// Enter in the year looks the declaration up and, after a question, opens it
// or creates it.
class PeriodPanel : public QFrame
{
    Q_OBJECT
public:
    explicit PeriodPanel(QWidget* parent = nullptr);

    // What the lookup asks of the rest of the window.
    struct Actions
    {
        std::function<QString()> payerCode; // text of the payer-code field
        std::function<void(bool january2006)> showGroups; // December 2005 amounts or bankruptcy data
        std::function<void()> openDeclaration; // the declaration panel takes over
        std::function<void()> backToPayerData;
    };
    void attach(Tdm& dm, Actions actions);

    QLineEdit* MaskEdit1;
    QLineEdit* MaskEdit2;

    // The period's step of the window's road: Enter in the month moves on,
    // in the year it tells the period entered and looks the declaration up;
    // Escape asks and goes back to the payer's data.
    struct Road
    {
        std::function<void()> moveOn;
        std::function<void()> backToPayerData;
        std::function<void()> periodEntered;
    };
    void wireRoad(Road road);
    QList<QWidget*> tabOrder() const;

    void presetToday();
    void MaskEdit1Exit();
    void lookUpDeclaration(); // Enter in the year field

private:
    FormControls m_form;
    Tdm* m_dm = nullptr;
    Actions m_actions;
};

} // namespace itm
