#pragma once

#include <QDialog>

class QLabel;
class QShowEvent;

namespace itm {

class Dataset;
class DbEdit;
class RadioGroup;
class Tdm;

// The legal-name dialog: the user picks the legal-form prefix, types the bare
// name and picks the company-type suffix of the current payer record. The name
// goes straight into the record's buffer; the two choices are written when the
// dialog is closed with Enter. Created once and reused; each show starts from
// the record (a new payer always starts as S.C. ... S.R.L.).
class TfDenumire : public QDialog
{
    Q_OBJECT
public:
    TfDenumire(Tdm& dm, QWidget* parent = nullptr);

    RadioGroup* rgp;
    QLabel* Label1;
    DbEdit* den;
    RadioGroup* rgs;

    // Shows the dialog modally over the payer record, which must be in edit or
    // insert state. The result (Accepted on Enter, Rejected on Escape) is only
    // informative: the caller reads prefix, denumire and sufix from the record.
    int showModalForPayer() { return exec(); }

    void done(int result) override;
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void rgpChange();
    bool rgpButtonKeyDown(QWidget* sender, int key);
    bool denKeyDown(QWidget* sender, int key);
    bool rgsButtonKeyDown(QWidget* sender, int key);

    Dataset& payer() const;
    void selectPrefixItem(int item);
    void writeChoices();
    void closeAfterEnter();

    Tdm& m_dm;
    bool m_buttonHooksAttached = false;
};

} // namespace itm
