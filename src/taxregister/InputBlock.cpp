#include "taxregister/InputBlock.h"

#include <QApplication>
#include <QKeyEvent>

namespace itm {

InputBlock::InputBlock(QObject* context, std::function<void()> onEscape)
    : m_context(context)
    , m_onEscape(std::move(onEscape))
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
}

InputBlock::~InputBlock()
{
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool InputBlock::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape
            && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            // Queued, and not on this object: the handler ends the wait, and
            // with it this object.
            QMetaObject::invokeMethod(m_context, m_onEscape, Qt::QueuedConnection);
        }
        return true;
    case QEvent::ShortcutOverride:
        // Taken as the focus widget's own key, so that no shortcut or
        // accelerator runs; the key press that follows is swallowed above.
        event->accept();
        return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace itm
