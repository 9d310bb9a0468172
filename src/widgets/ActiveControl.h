#pragma once

#include <functional>
#include <qnamespace.h>

class QWidget;

namespace itm {

// What a control does when it becomes, or stops being, the active control of
// its window.
struct ActiveControlSteps
{
    std::function<void(Qt::FocusReason reason)> enter;
    std::function<void()> leave;
};

// Every window has one active control: the control that was entered last.
// Another window taking the activation (a message box, a dialog) does not
// change it, so the control that had the focus when a box opened is still the
// active one after the box has closed. The next focus move inside the window,
// whoever makes it and whenever the window sees it (at once, or only when the
// window is active again, for a move made while a box was up), leaves that
// control once and then enters the new one once.
//
// A control the focus only passes through (taken back by the exit of the
// control it left) is never entered, so it is never left either.
namespace ActiveControl {

// Puts a control under the rule (again: the new steps replace the old). The
// control calls entered() from its own focus-in handling, once its own step
// has run; leaving needs no call. A text field that is entered other than by
// the mouse selects its whole text, so that typing replaces it.
void track(QWidget* control, ActiveControlSteps steps);
void entered(QWidget* control, Qt::FocusReason reason);

} // namespace ActiveControl

} // namespace itm
