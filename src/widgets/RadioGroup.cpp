#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <functional>

namespace itm {

namespace {

// Qt makes the radio button that last had the focus the group's one Tab stop;
// the group puts it back on its checked item.
class GroupButton : public QRadioButton
{
public:
    GroupButton(const QString& caption, QWidget* parent, std::function<void()> focused)
        : QRadioButton(caption, parent)
        , m_focused(std::move(focused))
    {
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QRadioButton::focusInEvent(event);
        m_focused();
    }

private:
    std::function<void()> m_focused;
};

} // namespace

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent)
    , m_group(new QButtonGroup(this))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(1);
    const int rows = int((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new GroupButton(items[i], this, [this] { keepTabStopOnCheckedItem(); });
        m_group->addButton(button, i);
        m_buttons.append(button);
        layout->addWidget(button, i % rows, i / rows);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        keepTabStopOnCheckedItem();
        Q_EMIT itemChanged(id);
    });
}

// Tab and Shift+Tab land on the checked item, as in any radio group, so that
// the arrow keys move the choice from there (they move it only from a
// checked button). With nothing checked every item stays a Tab stop.
void RadioGroup::keepTabStopOnCheckedItem()
{
    const int checked = itemIndex();
    if (checked < 0)
        return;
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setFocusPolicy(i == checked ? Qt::StrongFocus : Qt::ClickFocus);
}

void RadioGroup::focusCheckedItem(Qt::FocusReason reason)
{
    const int checked = itemIndex();
    if (QRadioButton* target = m_buttons.value(checked < 0 ? 0 : checked))
        target->setFocus(reason);
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index < 0 || index >= m_buttons.size()) {
        m_group->setExclusive(false);
        for (QRadioButton* button : std::as_const(m_buttons))
            button->setChecked(false);
        m_group->setExclusive(true);
        return;
    }
    m_buttons[index]->setChecked(true);
}

} // namespace itm
