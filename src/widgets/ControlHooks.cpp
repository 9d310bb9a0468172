#include "widgets/ControlHooks.h"

#include "platform/Guard.h"
#include "widgets/ActiveControl.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace itm {

int windowsKeyCode(int qtKey)
{
    // Qt gives printable characters their character code ("!" is 33, "." is
    // 46), which would read as Page Up or Delete here: only the keys named
    // below have a code, every other key is KeyOther.
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyEnter;
    case Qt::Key_Escape:
        return KeyEscape;
    case Qt::Key_Backspace:
        return KeyBackspace;
    case Qt::Key_Delete:
        return KeyDelete;
    case Qt::Key_PageUp:
        return KeyPageUp;
    case Qt::Key_PageDown:
        return KeyPageDown;
    case Qt::Key_Up:
        return KeyUp;
    case Qt::Key_Down:
        return KeyDown;
    case Qt::Key_F4:
        return KeyF4;
    default:
        return KeyOther;
    }
}

bool HookedControl::callKeyDown(QWidget* self, int key)
{
    if (!m_hooks.keyDown)
        return false;
    bool consumed = false;
    runGuarded([&] { consumed = m_hooks.keyDown(self, key); });
    return consumed;
}

void HookedControl::callEnter(QWidget* self)
{
    if (m_hooks.enter)
        runGuarded([&] { m_hooks.enter(self); });
}

void HookedControl::callExit(QWidget* self)
{
    if (m_hooks.exit)
        runGuarded([&] { m_hooks.exit(self); });
}

void HookedControl::callChange(QWidget* self)
{
    if (m_hooks.change)
        runGuarded([&] { m_hooks.change(self); });
}

bool isWindowSwitch(const QEvent* event)
{
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

namespace {

class HookFilter : public QObject
{
public:
    HookFilter(QWidget* control, ControlHooks hooks)
        : QObject(control)
        , m_hooks(std::move(hooks))
    {
        // The steps hold their own copy of the handlers: the filter goes
        // before the control does.
        ActiveControl::track(control,
            { [control, enter = m_hooks.enter](Qt::FocusReason) {
                 if (enter)
                     runGuarded([&] { enter(control); });
             },
                [control, exit = m_hooks.exit] {
                    if (exit)
                        runGuarded([&] { exit(control); });
                } });
        if (m_hooks.change) {
            if (auto* box = qobject_cast<QCheckBox*>(control)) {
                connect(box, &QCheckBox::stateChanged, this, [this, box] { runGuarded([&] { m_hooks.change(box); }); });
            }
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* control = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = windowsKeyCode(static_cast<QKeyEvent*>(event)->key());
            // A focused button is pressed by Enter, in a window as in a dialog.
            if (key == KeyEnter) {
                if (auto* button = qobject_cast<QPushButton*>(control)) {
                    button->click();
                    return true;
                }
            }
            if (!m_hooks.keyDown)
                return false;
            bool consumed = false;
            QPointer<QWidget> guard(control);
            runGuarded([&] { consumed = m_hooks.keyDown(control, key); });
            return consumed || !guard;
        }
        case QEvent::FocusIn:
            ActiveControl::entered(control, static_cast<QFocusEvent*>(event)->reason());
            return false;
        default:
            return false;
        }
    }

private:
    ControlHooks m_hooks;
};

} // namespace

void attachHooks(QWidget* control, const ControlHooks& hooks)
{
    if (auto* hooked = dynamic_cast<HookedControl*>(control)) {
        hooked->hooks() = hooks;
        return;
    }
    control->installEventFilter(new HookFilter(control, hooks));
}

} // namespace itm
