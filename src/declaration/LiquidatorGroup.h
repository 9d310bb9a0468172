#pragma once

#include "widgets/FormBuilder.h"

#include <QGroupBox>
#include <functional>

namespace itm {

class DbEdit;
class Tdm;
class TVelaDBAutoCompletitionEdit;

// "[ Date lichidator ]": the liquidator of a payer in bankruptcy, kept in the
// payer record; each field is checked as it is left.
class LiquidatorGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit LiquidatorGroup(QWidget* parent = nullptr);
    void attach(Tdm& dm);

    DbEdit* denl;
    TVelaDBAutoCompletitionEdit* judl;
    DbEdit* locl;
    DbEdit* lsec;
    DbEdit* cuil;
    DbEdit* zi;
    DbEdit* luna;
    DbEdit* an;

    QList<QWidget*> tabOrder() const;
    // The control in which the user corrects a column a rule refused.
    QWidget* controlForColumn(const QString& column) const;

    void judlExit();
    void lsecChange();
    void cuilExit();
    void anExit();

    // Every field answers Enter and Escape as the declaration's fields do.
    void wireKeys(const RoadKeys& keys);
    // Leaving a field because the panel is being closed runs no check and
    // changes nothing.
    void setClosingTest(std::function<bool()> closing) { m_closing = std::move(closing); }

private:
    bool closing() const;

    FormControls m_form;
    Tdm* m_dm = nullptr;
    std::function<bool()> m_closing;
};

} // namespace itm
