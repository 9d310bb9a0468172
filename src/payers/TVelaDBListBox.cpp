#include "payers/TVelaDBListBox.h"

#include "platform/Guard.h"
#include "widgets/ControlHooks.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace itm {

void ColumnListModel::setTexts(TextColumn texts)
{
    beginResetModel();
    m_texts = std::move(texts);
    endResetModel();
}

int ColumnListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_texts.size());
}

QVariant ColumnListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_texts.size())
        return QVariant();
    return m_texts.textAt(index.row());
}

TVelaDBListBox::TVelaDBListBox(QWidget* parent)
    : UniformRowListView(parent)
{
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(&m_listLink, &FieldLink::dataChange, this, [this] { runGuarded([this] { ListUpdateChange(); }); });
    connect(this, &QListView::clicked, this, [this] { runGuarded([this] { Click(); }); });
}

void TVelaDBListBox::setListSource(DataSource* source)
{
    m_listLink.setDataSource(source);
    m_model.clear();
}

void TVelaDBListBox::setListField(const QString& field)
{
    m_listLink.setFieldName(field);
    m_model.clear();
    ListUpdateChange();
}

int TVelaDBListBox::itemIndex() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TVelaDBListBox::setItemIndex(int index)
{
    if (index < 0 || index >= m_model.rowCount()) {
        setCurrentIndex(QModelIndex());
        clearSelection();
        return;
    }
    const QModelIndex modelIndex = m_model.index(index);
    setCurrentIndex(modelIndex);
    scrollTo(modelIndex);
}

QString TVelaDBListBox::item(int index) const
{
    return m_model.data(m_model.index(index), Qt::DisplayRole).toString();
}

void TVelaDBListBox::ListUpdateChange()
{
    Dataset* dataset = m_listLink.dataset();
    if (m_updating || !m_listLink.active() || m_listLink.fieldName().isEmpty()
        || dataset->State() != DatasetState::Browse)
        return;
    const QScopedValueRollback updating(m_updating, true);
    // Refilled only when the row count changes; otherwise the highlight follows.
    // Empty while the register is still being read: the dataset tells again once it is.
    // (A row found meanwhile has no place yet: asking it would wait for the read.)
    if (!dataset->keysReady()) {
        m_model.clear();
        setItemIndex(-1);
        return;
    }
    if (dataset->RecordCount() != m_model.rowCount()) {
        if (dataset->RecNo() <= 0 && !dataset->IsEmpty())
            dataset->setRecNo(1);
        m_model.setTexts(dataset->IsEmpty() ? TextColumn() : dataset->columnTextColumn(m_listLink.fieldName()));
    }
    setItemIndex(dataset->RecNo() - 1);
}

bool TVelaDBListBox::canMoveDataset() const
{
    return !m_updating && m_listLink.active() && !m_listLink.fieldName().isEmpty() && !m_listLink.dataset()->IsEmpty();
}

void TVelaDBListBox::keyReleaseEvent(QKeyEvent* event)
{
    UniformRowListView::keyReleaseEvent(event);
    if (!runGuarded([this] {
            if (!canMoveDataset())
                return;
            const QScopedValueRollback updating(m_updating, true);
            m_listLink.dataset()->setRecNo(itemIndex() + 1);
        }))
        return;
    const int key = windowsKeyCode(event->key());
    if ((key == KeyEnter || key == KeyEscape) && m_onExitSetFocusTo)
        m_onExitSetFocusTo->setFocus(Qt::OtherFocusReason);
}

void TVelaDBListBox::Click()
{
    if (!canMoveDataset())
        return;
    const QScopedValueRollback updating(m_updating, true);
    m_listLink.dataset()->setRecNo(itemIndex() + 1);
}

void TVelaDBListBox::GotoIndex(int index)
{
    if (index < 0 || m_updating || !m_listLink.active())
        return;
    const QScopedValueRollback updating(m_updating, true);
    m_listLink.dataset()->setRecNo(index + 1);
    setItemIndex(index);
}

} // namespace itm
