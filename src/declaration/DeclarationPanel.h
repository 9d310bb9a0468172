#pragma once

#include "widgets/FormBuilder.h"

#include <QGroupBox>
#include <functional>

class QPushButton;

namespace itm {

class DbCheckBox;
class DbEdit;
class DbRadioGroup;
class LiquidatorGroup;
class Tdm;

// The figures of one monthly declaration: corrective or not, the rate, the
// employees, the salary fund with the commission computed from it, the amount
// paid, the bankruptcy flag with the liquidator, the December 2005 amounts of
// the January 2006 declaration, and saving.
class DeclarationPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit DeclarationPanel(QWidget* parent = nullptr);

    struct Actions
    {
        std::function<QString()> payerCode;
        std::function<QString()> month; // texts of the period fields
        std::function<QString()> year;
        std::function<void()> showOutput; // saved: the output buttons take over
        std::function<void()> fatalEnd; // the saved declaration cannot be found again
        std::function<void()> backToPeriod; // "A&nulare"
    };
    void attach(Tdm& dm, Actions actions);

    DbCheckBox* DBCheckBox1;
    DbRadioGroup* proccom;
    DbEdit* nrsal;
    DbEdit* DBEdit12;
    DbEdit* DBEdit13;
    DbEdit* achit;
    DbCheckBox* fal;
    LiquidatorGroup* lgb;
    QGroupBox* gbdec2005;
    DbEdit* DBEdit14;
    DbEdit* DBEdit19;
    QPushButton* Button1;
    QPushButton* Button2;

    QList<QWidget*> tabOrder() const;

    // The declaration's step of the window's road: Enter in a field moves on,
    // Escape asks and goes back to the period.
    struct Road
    {
        std::function<void()> moveOn;
        std::function<void()> backToPeriod;
    };
    void wireRoad(Road road);

    void showPeriodGroups(bool january2006);
    void nrsalChange(QWidget* sender);
    void DBEdit12Exit();
    void proccomExit();
    void falClick();
    void Button1Click();
    void Button2Click();

    // Leaving a field because the panel is being closed shows no message
    // (the liquidator group is told the same).
    void setClosingTest(std::function<bool()> closing);

private:
    bool closing() const;
    void computeCommission();
    bool applyLiquidatorRules();

    FormControls m_form;
    Tdm* m_dm = nullptr;
    Actions m_actions;
    std::function<bool()> m_closing;
    bool m_returningToFund = false;
    bool m_closingItself = false; // "A&nulare" is running
};

} // namespace itm
