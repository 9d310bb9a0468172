#include "widgets/DbEdit.h"

#include "platform/Guard.h"
#include "widgets/ActiveControl.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

namespace itm {

DbEdit::DbEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(&m_link, &FieldLink::dataChange, this, &DbEdit::showField);
    m_link.setWritePending([this] {
        if (m_modified)
            updateRecord();
    });
    m_link.setHoldsPending([this] { return m_modified; });
    connect(this, &QLineEdit::textChanged, this, &DbEdit::onTextChanged);
    ActiveControl::track(this, { [this](Qt::FocusReason) { callEnter(this); }, [this] { leave(); } });
    connect(this, &QLineEdit::textEdited, this, [this](const QString& typed) {
        QString cased = typed;
        if (m_charCase == CharCase::Upper)
            cased = typed.toUpper();
        else if (m_charCase == CharCase::Lower)
            cased = typed.toLower();
        if (cased != typed) {
            const int cursor = cursorPosition();
            setText(cased);
            setCursorPosition(cursor);
        }
    });
}

void DbEdit::showField()
{
    m_displaying = true;
    const auto field = m_link.field();
    if (field) {
        if (field->size() > 0)
            setMaxLength(field->size());
        setText(field->AsString());
    } else {
        setText(QString());
    }
    m_displaying = false;
    m_modified = false;
}

void DbEdit::onTextChanged()
{
    if (!m_displaying) {
        // The first change puts the row into editing, as typing into a bound
        // control does; a row that cannot be edited shows its value again.
        if (!m_link.editing() && !m_link.edit()) {
            if (m_link.field())
                showField();
            return;
        }
        m_modified = true;
    }
    callChange(this);
}

void DbEdit::updateRecord()
{
    if (!m_modified)
        return;
    const auto field = m_link.field();
    if (!field || !m_link.edit())
        return;
    field->setAsString(text());
    m_modified = false;
}

void DbEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    ActiveControl::entered(this, event->reason());
}

void DbEdit::leave()
{
    // The column is written before the window's exit handler runs; a text the
    // column refuses keeps the focus here.
    if (!runGuarded([this] { updateRecord(); })) {
        QMetaObject::invokeMethod(
            this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
        return;
    }
    callExit(this);
}

void DbEdit::keyPressEvent(QKeyEvent* event)
{
    QPointer<DbEdit> self(this);
    if (callKeyDown(this, windowsKeyCode(event->key())))
        return;
    if (self)
        QLineEdit::keyPressEvent(event);
}

} // namespace itm
