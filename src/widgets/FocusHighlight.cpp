#include "widgets/FocusHighlight.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace itm {

// Check boxes and radio buttons paint their background in the role the style
// gives buttons, not in the window's role: the colour goes into the role the
// control is actually filled with.
void HighlightControl(QWidget* control)
{
    const QColor highlight = QApplication::palette().color(QPalette::ToolTipBase);
    QPalette palette = control->palette();
    if (qobject_cast<QLineEdit*>(control)) {
        palette.setColor(QPalette::Base, highlight);
    } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
        palette.setColor(control->backgroundRole(), highlight);
        control->setAutoFillBackground(true);
    } else {
        return;
    }
    control->setPalette(palette);
}

void ClearHighlight(QWidget* control)
{
    QPalette palette = control->palette();
    if (qobject_cast<QLineEdit*>(control)) {
        palette.setColor(QPalette::Base, Qt::white);
    } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
        // The button face again, and the panel showing through as before the
        // control was entered, also once the panel is disabled and greyed.
        palette.setColor(control->backgroundRole(), QApplication::palette().color(QPalette::Button));
        control->setAutoFillBackground(false);
    } else {
        return;
    }
    control->setPalette(palette);
}

} // namespace itm
