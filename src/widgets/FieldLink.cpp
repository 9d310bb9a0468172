#include "widgets/FieldLink.h"

namespace itm {

FieldLink::FieldLink(QObject* parent)
    : QObject(parent)
{
}

void FieldLink::setDataSource(DataSource* source)
{
    m_source = source;
    connectDataset();
    Q_EMIT activeChange();
    Q_EMIT dataChange();
}

void FieldLink::setFieldName(const QString& name)
{
    m_fieldName = name;
    connectDataset();
    Q_EMIT dataChange();
}

void FieldLink::connectDataset()
{
    for (const auto& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    if (m_writerOf)
        m_writerOf->removePendingTextWriters(this);
    m_writerOf = nullptr;
    Dataset* data = dataset();
    if (!data)
        return;
    m_connections.append(connect(data, &Dataset::recordChanged, this, &FieldLink::dataChange));
    m_connections.append(connect(data, &Dataset::fieldChanged, this, [this](int index) {
        Dataset* data = dataset();
        if (data && data->Active() && index == data->FieldIndex(m_fieldName))
            Q_EMIT dataChange();
    }));
    m_connections.append(connect(data, &Dataset::activeChanged, this, [this] {
        Q_EMIT activeChange();
        Q_EMIT dataChange();
    }));
    data->addPendingTextWriter(
        this,
        [this] {
            if (m_writePending)
                m_writePending();
        },
        [this] { return m_holdsPending && m_holdsPending(); });
    m_writerOf = data;
}

Dataset* FieldLink::dataset() const
{
    return m_source ? m_source->dataset() : nullptr;
}

bool FieldLink::active() const
{
    const Dataset* data = dataset();
    return data && data->Active();
}

std::optional<Field> FieldLink::field() const
{
    Dataset* data = dataset();
    if (!data || !data->Active() || m_fieldName.isEmpty())
        return std::nullopt;
    const int index = data->FieldIndex(m_fieldName);
    if (index < 0)
        return std::nullopt;
    return data->FieldAt(index);
}

bool FieldLink::editing() const
{
    const Dataset* data = dataset();
    return data && (data->State() == DatasetState::Edit || data->State() == DatasetState::Insert);
}

bool FieldLink::edit()
{
    if (!field())
        return false;
    if (!editing())
        dataset()->Edit();
    return editing();
}

} // namespace itm
