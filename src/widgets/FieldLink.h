#pragma once

#include "store/Dataset.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

namespace itm {

// Ties a control to one column of a data source: tells it when the row or the
// column changes, and gives it the column to read and write.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    void setFieldName(const QString& name);
    QString fieldName() const { return m_fieldName; }

    Dataset* dataset() const;
    bool active() const;
    // The column, when the dataset is open and has it.
    std::optional<Field> field() const;
    bool editing() const;
    // Puts a browsing dataset into edit state so that a change can be written;
    // false when that is not possible (closed dataset, no column).
    bool edit();
    // How the control writes text typed but not yet written, asked by the
    // dataset before a post; an error it raises reaches whoever posted.
    void setWritePending(std::function<void()> write) { m_writePending = std::move(write); }
    // Whether the control holds text typed and not yet written.
    void setHoldsPending(std::function<bool()> holds) { m_holdsPending = std::move(holds); }

Q_SIGNALS:
    void dataChange();
    void activeChange();

private:
    void connectDataset();

    QPointer<DataSource> m_source;
    QString m_fieldName;
    QList<QMetaObject::Connection> m_connections;
    QPointer<Dataset> m_writerOf; // the dataset that asks this link to write pending text
    std::function<void()> m_writePending;
    std::function<bool()> m_holdsPending;
};

// A control that shows and edits one column of a data source through its
// link: a form's table binds it by its column.
class BoundControl
{
public:
    virtual ~BoundControl() = default;
    virtual FieldLink& link() = 0;
};

} // namespace itm

Q_DECLARE_INTERFACE(itm::BoundControl, "itm.BoundControl")
