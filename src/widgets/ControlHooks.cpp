#include "widgets/ControlHooks.h"

#include "platform/Guard.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace itm {

int windowsKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyEnter;
    case Qt::Key_Escape:
        return KeyEscape;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Down:
        return 40;
    default:
        return qtKey;
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
        if (m_hooks.change) {
            if (auto* box = qobject_cast<QCheckBox*>(control)) {
                connect(box, &QCheckBox::stateChanged, this,
                        [this, box] { runGuarded([&] { m_hooks.change(box); }); });
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
                if (auto* button = qobject_cast<QAbstractButton*>(control);
                    button && !qobject_cast<QCheckBox*>(control) && button->inherits("QPushButton")) {
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
            if (isWindowSwitch(event))
                return false;
            if (m_hooks.enter)
                runGuarded([&] { m_hooks.enter(control); });
            return false;
        case QEvent::FocusOut:
            if (isWindowSwitch(event))
                return false;
            if (m_hooks.exit)
                runGuarded([&] { m_hooks.exit(control); });
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
