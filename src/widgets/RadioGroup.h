#pragma once

#include <QGroupBox>
#include <QList>

class QRadioButton;
class QButtonGroup;

namespace itm {

// A framed group of radio buttons laid out in columns; one item (or none) is selected.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const; // -1 when none is selected
    void setItemIndex(int index);
    const QList<QRadioButton*>& buttons() const { return m_buttons; }
    // Enters the group as Tab does: on its checked item (the first when none is).
    void focusCheckedItem(Qt::FocusReason reason);

Q_SIGNALS:
    // The user or the program changed the selected item.
    void itemChanged(int index);

private:
    void keepTabStopOnCheckedItem();

    QList<QRadioButton*> m_buttons;
    QButtonGroup* m_group;
    bool m_settingIndex = false;
};

} // namespace itm
