#include "payers/TVelaDBAutoCompletitionEdit.h"

#include "payers/TVelaDBListBox.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "widgets/ActiveControl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace itm {

namespace {
const QString noValueMessage = QStringLiteral("Pentru a continua trebuie sa selectati/adaugati o valoare");

// Swallows the focus-out of a control that received the focus-out without
// ever having been entered, so that none of its exit handlers run.
class PassedOverFilter : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::FocusOut; }
};
} // namespace

TVelaDBAutoCompletitionEdit::TVelaDBAutoCompletitionEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(&m_listLink, &FieldLink::dataChange, this, [this] { runGuarded([this] { ListUpdateChange(); }); });
    connect(&m_dataLink, &FieldLink::dataChange, this, [this] { runGuarded([this] { DataUpdateChange(); }); });
    // A post while the field still has the focus (a button pressed by its
    // accelerator) takes the matched key, as leaving the field would.
    m_dataLink.setWritePending([this] {
        if (hasFocus() && !m_keepDropDown)
            writeKey();
    });
    connect(this, &QLineEdit::textChanged, this, [this] { runGuarded([this] { Change(); }); });
    ActiveControl::track(this,
        { [this](Qt::FocusReason) {
             callEnter(this);
             runGuarded([this] { DoEnter(); });
         },
            [this] {
                callExit(this);
                runGuarded([this] { DoExit(); });
            } });
}

TVelaDBAutoCompletitionEdit::~TVelaDBAutoCompletitionEdit()
{
    delete m_listBox;
}

bool TVelaDBAutoCompletitionEdit::refusesEmptyOrUnmatched() const
{
    return NoValueNoExit && (text().isEmpty() || (m_notInList && ReadOnly));
}

void TVelaDBAutoCompletitionEdit::showListRow(const Field& listField)
{
    setText(listField.AsString());
}

void TVelaDBAutoCompletitionEdit::Change()
{
    if (m_updating)
        return;
    const QScopedValueRollback updating(m_updating, true);
    m_notInList = true;
    const int typedLength = int(text().size());
    Dataset* list = m_listLink.dataset();
    if (m_listLink.active() && !ListField().isEmpty()) {
        if (list->Locate(ListField(), text(), LocateCaseInsensitive | LocatePartialKey)) {
            const QString completed = list->FieldByName(ListField()).AsString();
            setText(completed);
            m_notInList = false;
            // The completed tail is selected, so the next keystroke replaces it.
            setSelection(typedLength, int(completed.size()) - typedLength);
        } else if (ReadOnly) {
            setText(text().chopped(1));
        } else if (OnNotInListSource) {
            m_updating = false;
            OnNotInListSource(this);
        }
    }
    callChange(this);
}

void TVelaDBAutoCompletitionEdit::writeKey()
{
    if (!m_dataLink.active() || !m_dataLink.editing() || DataField().isEmpty() || KeyField.isEmpty()
        || ListField().isEmpty() || !m_listLink.active() || m_notInList)
        return;
    const auto bound = m_dataLink.field();
    if (!bound)
        return;
    bound->setAsVariant(m_listLink.dataset()->FieldByName(KeyField).AsVariant());
}

void TVelaDBAutoCompletitionEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = windowsKeyCode(event->key());
    bool refused = false;
    runGuarded([&] {
        switch (key) {
        case KeyBackspace:
        case KeyDelete:
            // The deletion is not completed again.
            m_updating = true;
            break;
        case KeyEnter:
            if (!m_keepDropDown)
                writeKey();
            if (refusesEmptyOrUnmatched()) {
                refused = true;
                platform().prompts->message(noValueMessage);
                return;
            }
            if (SetFocusControl) {
                SetFocusControl->setEnabled(true);
                SetFocusControl->setFocus(Qt::OtherFocusReason);
            }
            break;
        case KeyEscape:
            m_escaped = true;
            if (SetPriorFocusControl) {
                SetPriorFocusControl->setEnabled(true);
                SetPriorFocusControl->setFocus(Qt::OtherFocusReason);
            }
            break;
        case KeyPageUp:
        case KeyPageDown:
        case KeyUp:
        case KeyDown:
            if (m_listBox && m_listBox->count() > 0) {
                m_keepDropDown = true;
                m_listBox->setEnabled(true);
                m_listBox->show();
                m_listBox->setFocus(Qt::OtherFocusReason);
            }
            break;
        default:
            break;
        }
    });
    if (refused)
        return;
    QPointer<TVelaDBAutoCompletitionEdit> self(this);
    if (callKeyDown(this, key) || !self)
        return;
    QLineEdit::keyPressEvent(event);
}

void TVelaDBAutoCompletitionEdit::keyReleaseEvent(QKeyEvent* event)
{
    const int key = windowsKeyCode(event->key());
    if (key == KeyBackspace || key == KeyDelete)
        m_updating = false;
    QLineEdit::keyReleaseEvent(event);
}

void TVelaDBAutoCompletitionEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    ActiveControl::entered(this, event->reason());
}

void TVelaDBAutoCompletitionEdit::DoEnter()
{
    m_escaped = false;
    if (m_keepDropDown) {
        // The focus comes back from the drop-down or after a refused exit.
        if (m_listBox)
            m_listBox->setEnabled(false);
        m_keepDropDown = false;
        return;
    }
    m_notInList = true;
    m_keepDropDown = false;
    destroyDropDown();
    QWidget* host = window();
    m_listBox = new TVelaDBListBox(host);
    m_listBox->setObjectName(objectName() + QStringLiteral("DropDown"));
    const QPoint below = mapTo(host, QPoint(0, height()));
    m_listBox->setGeometry(below.x(), below.y(), width(), ListHeight);
    m_listBox->setFocusPolicy(Qt::ClickFocus);
    m_listBox->setListSource(m_listLink.dataSource());
    m_listBox->setListField(ListField());
    m_listBox->setEnabled(false);
    m_listBox->show();
    m_listBox->raise();

    Dataset* list = m_listLink.dataset();
    const bool hasRows = list && list->Active() && !list->IsEmpty();
    if (OnEnterGotoFirst) {
        setText(QString());
        if (hasRows)
            list->First();
    } else if (!text().isEmpty() && hasRows && !ListField().isEmpty()) {
        m_notInList = !list->Locate(ListField(), text(), LocateCaseInsensitive);
    }
}

void TVelaDBAutoCompletitionEdit::DoExit()
{
    if (m_keepDropDown) {
        // The user went into the drop-down; it gives the focus back here.
        if (m_listBox)
            m_listBox->setOnExitSetFocusTo(this);
        return;
    }
    if (!m_escaped && refusesEmptyOrUnmatched()) {
        m_keepDropDown = true;
        takeFocusBack();
        platform().prompts->message(noValueMessage);
        return;
    }
    destroyDropDown();
    if (IsDirty && parentWidget())
        window()->update();
    writeKey();
}

void TVelaDBAutoCompletitionEdit::takeFocusBack()
{
    // The focus is taken back at once, while it is still on its way: the
    // control it was heading for is never entered, so it must not be left
    // either (its exit handler could move the focus on, and a second field
    // that refuses to be left would send it back here for ever).
    QWidget* headingFor = QApplication::focusWidget();
    PassedOverFilter filter;
    if (headingFor && headingFor != this)
        headingFor->installEventFilter(&filter);
    setFocus(Qt::OtherFocusReason);
    if (headingFor && headingFor != this)
        headingFor->removeEventFilter(&filter);
}

void TVelaDBAutoCompletitionEdit::destroyDropDown()
{
    if (m_listBox) {
        m_listBox->hide();
        m_listBox->deleteLater();
        m_listBox = nullptr;
    }
}

void TVelaDBAutoCompletitionEdit::DataUpdateChange()
{
    if (m_updating || !m_dataLink.active() || !m_dataLink.dataSource() || DataField().isEmpty() || KeyField.isEmpty()
        || hasFocus())
        return;
    const QScopedValueRollback updating(m_updating, true);
    m_notInList = false;
    const auto bound = m_dataLink.field();
    if (bound && m_listLink.active() && m_listLink.dataSource()) {
        Dataset* list = m_listLink.dataset();
        if (!list->Locate(KeyField, bound->AsString(), LocateCaseInsensitive)) {
            setText(QString());
            m_notInList = true;
            return;
        }
        if (const auto listField = m_listLink.field())
            showListRow(*listField);
    }
    callChange(this);
}

void TVelaDBAutoCompletitionEdit::ListUpdateChange()
{
    if (m_updating || !m_listLink.active() || !m_listLink.dataSource() || ListField().isEmpty() || !m_keepDropDown)
        return;
    const QScopedValueRollback updating(m_updating, true);
    m_notInList = false;
    if (const auto listField = m_listLink.field())
        showListRow(*listField);
    else
        setText(QString());
    callChange(this);
}

} // namespace itm

namespace itm {
TVelaDBListBox* TVelaDBAutoCompletitionEdit::dropDown() const
{
    return m_listBox;
}
} // namespace itm
