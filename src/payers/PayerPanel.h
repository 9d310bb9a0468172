#pragma once

#include "widgets/FormBuilder.h"

#include <QGroupBox>
#include <QList>
#include <functional>

class QLabel;
class QPushButton;

namespace itm {

class DbEdit;
class Tdm;
class TfDenumire;
class TVelaDBAutoCompletitionEdit;

// The payer's data "[ Date contribuabil ]": opening a payer from its code,
// the legal name, address, bank and representative, validation and saving,
// and deleting a payer with its declarations.
class PayerPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit PayerPanel(QWidget* parent = nullptr);

    // Binds the controls; cui is the payer-code field of the window, the
    // dialog composes the legal name.
    void attach(Tdm& dm, TVelaDBAutoCompletitionEdit* cui, std::function<void()> showNameDialog);

    QPushButton* den;
    TVelaDBAutoCompletitionEdit* jud;
    DbEdit* loc;
    DbEdit* sector;
    DbEdit* str;
    DbEdit* snr;
    DbEdit* DBEdit1; // "Bloc:"
    DbEdit* DBEdit8; // "Telefon:"
    DbEdit* DBEdit10; // "Banca:"
    QPushButton* Button3;
    QPushButton* Button5;
    QLabel* lblF3; // the key that fills a new payer from the tax register
    QLabel* lblF5; // the key of the payer's statement

    QList<QWidget*> tabOrder() const;

    // The payer's step of the window's road: Enter in a field moves on,
    // Escape gives the payer up (after a question, except on the buttons),
    // "Declaratie &lunara" goes on to the period.
    struct Road
    {
        std::function<void()> moveOn;
        std::function<void()> backToPayerCode;
        std::function<void()> toPeriod;
    };
    void wireRoad(Road road);

    // Checks the typed code and opens the payer: the stored one for editing or
    // a new one with that code. False when the code is refused.
    bool openPayerRecord();
    void showNameCaption();

    void denClick();
    void judExit();
    void locExit();
    void sectorChange();
    void Button3Click();
    void stergClick();

private:
    QString composedName() const;
    bool judIsBucharest() const;
    // The control in which the user corrects a column a rule refused.
    QWidget* controlForColumn(const QString& column) const;
    // The code field names an existing payer and that payer is the current one.
    bool codeIsCurrentPayer() const;

    FormControls m_form;
    Tdm* m_dm = nullptr;
    TVelaDBAutoCompletitionEdit* m_cui = nullptr;
    std::function<void()> m_showNameDialog;
};

} // namespace itm
