#include "store/ColumnType.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/StoredText.h"
#include "store/StrictNumber.h"
#include "store/UpdateSql.h"

#include <cmath>

// The edit buffer and the posts of a cursor: a post writes the row and then
// updates the keys and cached texts kept in memory, rather than reading them again.
namespace itm {

QVariant Dataset::convertForColumn(int index, const QVariant& value) const
{
    return ValueForColumn(m_types.at(index), value);
}

void Dataset::setValue(int index, const QVariant& value)
{
    requireOpen();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        throw Error(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    const QVariant converted = convertForColumn(index, value);
    if (m_buffer.at(index) == converted && m_buffer.at(index).typeId() == converted.typeId())
        return;
    m_buffer[index] = converted;
    if (!ControlsDisabled())
        Q_EMIT fieldChanged(index);
}

void Dataset::Append()
{
    requireOpen();
    waitForKeys();
    if (m_state != DatasetState::Browse)
        Post();
    m_buffer = QVector<QVariant>(m_columns.size());
    m_oldRow.clear();
    setState(DatasetState::Insert);
    notifyRecordChanged();
}

void Dataset::Edit()
{
    requireOpen();
    waitForKeys();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        return;
    if (m_rows.isEmpty() || m_current < 0) {
        Append();
        return;
    }
    m_buffer = currentRow();
    m_oldRow = m_buffer;
    // The key the row was read by, even when the row itself is no longer there.
    m_oldRow[m_keyIndex] = m_rows.keyAt(m_current);
    setState(DatasetState::Edit);
}

std::function<QByteArray(int column)> Dataset::bufferTexts() const
{
    return [this](int column) { return StoredTextBytes(valueText(m_buffer.at(column))); };
}

void Dataset::noteOwnWrite(qint64 changesBefore)
{
    // Only a stamp that was current stays current: a change by anyone else
    // before this post still makes the next Refresh read everything again.
    const bool wasCurrent = m_connection.writesBy(m_update) == m_stamp.ownWrites;
    m_connection.noteWrite(m_update, m_connection.totalChanges() - changesBefore);
    if (wasCurrent)
        m_stamp.ownWrites = m_connection.writesBy(m_update);
}

void Dataset::Post()
{
    requireOpen();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    if (!m_update)
        throw Error(QStringLiteral("%1: Dataset is read only").arg(m_name));
    waitForKeys();
    writePendingTexts();
    // The rule cleans the buffer itself; when the statement then fails the row
    // stays in edit or insert state with the cleaned buffer.
    if (m_beforePost)
        m_beforePost(*this);
    if (m_state == DatasetState::Insert) {
        const qint64 changesBefore = m_connection.totalChanges();
        WriteRow(m_connection, *m_update, RowWrite::Insert, m_columns, m_buffer, {});
        const qint64 key = m_connection.lastInsertRowId();
        noteOwnWrite(changesBefore);
        m_buffer[m_keyIndex] = key;
        // The new row stays last until the next Refresh puts it in its place.
        m_rows.appendRow(key, bufferTexts());
        m_current = m_rows.size() - 1;
    } else {
        const qint64 changesBefore = m_connection.totalChanges();
        WriteRow(m_connection, *m_update, RowWrite::Modify, m_columns, m_buffer, m_oldRow, m_types);
        noteOwnWrite(changesBefore);
        m_rows.replaceRow(m_current, bufferTexts());
    }
    m_row = m_buffer;
    m_rowIndex = m_current;
    m_buffer.clear();
    m_eof = false;
    setState(DatasetState::Browse);
    notifyRecordChanged();
}

void Dataset::Cancel()
{
    requireOpen();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    m_buffer.clear();
    // The row is read again: a save refused because another user changed it
    // shows that user's version once the edit is given up.
    if (m_state == DatasetState::Edit)
        forgetRows();
    setState(DatasetState::Browse);
    notifyRecordChanged();
}

void Dataset::Delete()
{
    requireOpen();
    waitForKeys();
    if (m_state == DatasetState::Insert) {
        Cancel();
        return;
    }
    if (m_current < 0)
        throw Error(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(m_name));
    if (!m_update)
        throw Error(QStringLiteral("%1: Dataset is read only").arg(m_name));
    QVector<QVariant> oldRow = currentRow();
    oldRow[m_keyIndex] = m_rows.keyAt(m_current);
    const qint64 changesBefore = m_connection.totalChanges();
    WriteRow(
        m_connection, *m_update, RowWrite::Delete, m_columns, QVector<QVariant>(m_columns.size()), oldRow, m_types);
    noteOwnWrite(changesBefore);
    m_rows.removeRow(m_current);
    m_buffer.clear();
    if (m_current >= m_rows.size())
        m_current = m_rows.size() - 1;
    m_rowIndex = -1;
    m_eof = m_rows.isEmpty();
    setState(DatasetState::Browse);
    notifyRecordChanged();
}

void Dataset::UpdateRecord()
{
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        writePendingTexts();
}

void Dataset::addPendingTextWriter(QObject* owner, std::function<void()> write, std::function<bool()> holdsText)
{
    m_pendingTextWriters.removeIf([](const PendingTextWriter& writer) { return !writer.owner; });
    m_pendingTextWriters.append({ owner, std::move(write), std::move(holdsText) });
}

bool Dataset::holdsUnsavedInput() const
{
    if (m_state == DatasetState::Insert)
        return true;
    if (m_state != DatasetState::Edit)
        return false;
    for (const PendingTextWriter& writer : m_pendingTextWriters) {
        if (writer.owner && writer.holdsText && writer.holdsText())
            return true;
    }
    for (int i = 0; i < m_buffer.size() && i < m_oldRow.size(); ++i) {
        if (i != m_keyIndex && !SameColumnValue(m_types.value(i), m_buffer.at(i), m_oldRow.at(i)))
            return true;
    }
    return false;
}

void Dataset::removePendingTextWriters(const QObject* owner)
{
    m_pendingTextWriters.removeIf([owner](const PendingTextWriter& writer) { return writer.owner == owner; });
}

void Dataset::writePendingTexts()
{
    // Over a copy: a control that writes may bind or unbind others.
    const QVector<PendingTextWriter> writers = m_pendingTextWriters;
    for (const PendingTextWriter& writer : writers) {
        if (writer.owner)
            writer.write();
    }
}

} // namespace itm
