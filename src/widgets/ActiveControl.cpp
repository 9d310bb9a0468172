#include "widgets/ActiveControl.h"

#include "widgets/ControlHooks.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace itm {

namespace {

struct TrackedControl
{
    ActiveControlSteps steps;
    // While a control is being destroyed Qt reports it as one of its base
    // classes; its steps must not run then.
    const QMetaObject* type = nullptr;
    bool enterPending = false;
};

// Watches the focus events of the whole application, ahead of the controls
// themselves, so that it also sees the arrivals in controls that are not
// tracked (a button, a list) and the arrivals that only come with a window's
// activation.
class Tracker : public QObject
{
public:
    static Tracker& instance()
    {
        static QPointer<Tracker> tracker;
        if (!tracker) {
            tracker = new Tracker(qApp);
            qApp->installEventFilter(tracker);
        }
        return *tracker;
    }

    void track(QWidget* control, ActiveControlSteps steps)
    {
        if (!m_controls.contains(control))
            connect(control, &QObject::destroyed, this, [this, control] { m_controls.remove(control); });
        m_controls.insert(control, { std::move(steps), control->metaObject(), false });
    }

    void entered(QWidget* control, Qt::FocusReason reason)
    {
        TrackedControl* tracked = trackedOf(control);
        if (!tracked || !tracked->enterPending)
            return;
        tracked->enterPending = false;
        if (auto* edit = qobject_cast<QLineEdit*>(control); edit && reason != Qt::MouseFocusReason)
            edit->selectAll();
        if (const auto enter = tracked->steps.enter)
            enter(reason);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return false;
        if (!watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::FocusIn)
            return arrive(widget);
        depart(widget, static_cast<QFocusEvent*>(event));
        return false;
    }

private:
    using QObject::QObject;

    TrackedControl* trackedOf(QWidget* control)
    {
        const auto found = m_controls.find(control);
        if (found == m_controls.end())
            return nullptr;
        if (!control->metaObject()->inherits(found->type)) {
            m_controls.erase(found);
            return nullptr;
        }
        return &found.value();
    }

    void setActive(QWidget* window, QWidget* control)
    {
        if (!m_windows.contains(window)) {
            m_windows.insert(window);
            connect(window, &QObject::destroyed, this, [this, window] {
                m_windows.remove(window);
                m_active.remove(window);
            });
        }
        m_active.insert(window, control);
    }

    void leave(QWidget* control)
    {
        TrackedControl* tracked = trackedOf(control);
        if (!tracked)
            return;
        tracked->enterPending = false;
        // The step may track or forget controls, which moves the entries.
        if (const auto leaveStep = tracked->steps.leave)
            leaveStep();
    }

    // Returns true when the arrival is to be swallowed: the control was only
    // passed through.
    bool arrive(QWidget* control)
    {
        QWidget* window = control->window();
        const bool known = m_windows.contains(window);
        if (!known && !trackedOf(control))
            return false;
        const QPointer<QWidget> previous = m_active.value(window);
        // Back from another window: the control never stopped being the active one.
        if (previous == control)
            return false;
        setActive(window, nullptr);
        if (previous)
            leave(previous);
        if (QApplication::focusWidget() != control)
            return true;
        setActive(window, control);
        if (TrackedControl* tracked = trackedOf(control))
            tracked->enterPending = true;
        return false;
    }

    void depart(QWidget* control, const QFocusEvent* event)
    {
        // Another window takes the activation: the control stays the active one.
        if (isWindowSwitch(event))
            return;
        QWidget* window = control->window();
        if (!m_windows.contains(window) || m_active.value(window) != control)
            return;
        setActive(window, nullptr);
        leave(control);
    }

    QHash<QWidget*, TrackedControl> m_controls;
    QHash<const QWidget*, QPointer<QWidget>> m_active;
    QSet<const QWidget*> m_windows;
};

} // namespace

namespace ActiveControl {

void track(QWidget* control, ActiveControlSteps steps)
{
    Tracker::instance().track(control, std::move(steps));
}

void entered(QWidget* control, Qt::FocusReason reason)
{
    Tracker::instance().entered(control, reason);
}

} // namespace ActiveControl

} // namespace itm
