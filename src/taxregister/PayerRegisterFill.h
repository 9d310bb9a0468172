#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <functional>
#include <memory>

class QLineEdit;
class QWidget;

namespace itm {

class Dataset;
class InputBlock;
class RegisterService;
struct PayerFill;
struct RegisterOutcome;

// F3 in the payer panel: asks the register about a new payer's CUI and fills
// the payer's fields from the answer. The window stays live while it waits
// (a wait cursor, input held back, Escape gives up); the data go into the
// record's edit buffer as typing would put them, so nothing is stored until
// the payer is validated. Any failure is reported in a plain message box and
// changes nothing.
class PayerRegisterFill : public QObject
{
    Q_OBJECT
public:
    struct Panel
    {
        Dataset* payers = nullptr;
        Dataset* counties = nullptr;
        QLineEdit* county = nullptr; // the county lookup field
        QWidget* sector = nullptr; // open only for Bucharest
        QWidget* nameButton = nullptr; // a control whose entry and exit run no rule
        QWidget* lastControl = nullptr; // the focus goes here when no field is left empty
        QList<QPair<QWidget*, QString>> fields; // the data fields in tab order, with their columns
        std::function<void()> showName; // shows the composed legal name
    };

    // F3 anywhere in host (the payer panel) starts the question.
    PayerRegisterFill(Panel panel, QWidget* host);
    ~PayerRegisterFill() override;

    RegisterService& service() { return *m_service; }
    bool isWaiting() const { return m_wait != nullptr; }

    // Starts the question for the payer record's code.
    void start();

private:
    void answered(const RegisterOutcome& outcome);
    void fill(const PayerFill& data);
    QWidget* firstEmptyField() const;

    Panel m_panel;
    RegisterService* m_service;
    std::unique_ptr<InputBlock> m_wait;
    QString m_code;
    bool m_addressTold = false; // the user was told which address is asked
};

} // namespace itm
