#pragma once

#include "widgets/FormBuilder.h"

#include <QFrame>
#include <functional>

class QLabel;
class QPushButton;

namespace itm {

class Error;
class PrintedForms;
class Tdm;
class TfSelDisck;

// The outputs of a saved declaration: the declaration file on a removable
// drive and the printed declaration. Both start from the stored records and
// leave the declaration and the payer in editing again.
class OutputPanel : public QFrame
{
    Q_OBJECT
public:
    explicit OutputPanel(QWidget* parent = nullptr);
    void attach(Tdm& dm, TfSelDisck* driveDialog, PrintedForms* forms);

    QPushButton* Button4;
    QPushButton* Button6;
    QLabel* lblSalvare; // what the last "Generare discheta" wrote

    // Escape on either button goes back to the period at once.
    void wireRoad(std::function<void()> backToPeriod);
    QList<QWidget*> tabOrder() const;

    void Button4Click();
    void Button6Click();

private:
    void reportRecordFault(const Error& error);

    FormControls m_form;
    Tdm* m_dm = nullptr;
    TfSelDisck* m_driveDialog = nullptr;
    PrintedForms* m_forms = nullptr;
};

} // namespace itm
