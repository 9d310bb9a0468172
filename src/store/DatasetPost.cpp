#include "store/ColumnType.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/StoredText.h"
#include "store/StrictNumber.h"

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
    if (m_keys.isEmpty() || m_current < 0) {
        Append();
        return;
    }
    m_buffer = currentRow();
    m_oldRow = m_buffer;
    // The key the row was read by, even when the row itself is no longer there.
    m_oldRow[m_keyIndex] = m_keys.at(m_current);
    setState(DatasetState::Edit);
}

void Dataset::updateCachesFromBuffer(int row)
{
    for (auto it = m_caches.begin(); it != m_caches.end(); ++it) {
        const QByteArray text = StoredTextBytes(valueText(m_buffer.at(it.key())));
        if (row >= it->size()) {
            it->append(text);
        } else {
            if (it.key() == m_orderIndex && it->bytesAt(row) != text && !m_displaced.contains(m_keys.at(row)))
                m_displaced.append(m_keys.at(row));
            it->replace(row, text);
        }
    }
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

void Dataset::removeRow(int row)
{
    m_keys.removeAt(row);
    for (auto it = m_caches.begin(); it != m_caches.end(); ++it)
        it->remove(row);
}

void Dataset::Post()
{
    requireOpen();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    if (!m_update)
        throw Error(QStringLiteral("%1: Dataset is read only").arg(m_name));
    waitForKeys();
    Q_EMIT aboutToPost();
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
        m_keys.append(key);
        // The new row stays last until the next Refresh puts it in its place.
        if (m_orderIndex >= 0)
            m_displaced.append(key);
        updateCachesFromBuffer(int(m_keys.size()) - 1);
        m_current = int(m_keys.size()) - 1;
    } else {
        const qint64 changesBefore = m_connection.totalChanges();
        WriteRow(m_connection, *m_update, RowWrite::Modify, m_columns, m_buffer, m_oldRow);
        noteOwnWrite(changesBefore);
        updateCachesFromBuffer(m_current);
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
    oldRow[m_keyIndex] = m_keys.at(m_current);
    const qint64 changesBefore = m_connection.totalChanges();
    WriteRow(m_connection, *m_update, RowWrite::Delete, m_columns, QVector<QVariant>(m_columns.size()), oldRow);
    noteOwnWrite(changesBefore);
    m_displaced.removeOne(m_keys.at(m_current));
    removeRow(m_current);
    m_buffer.clear();
    if (m_current >= m_keys.size())
        m_current = int(m_keys.size()) - 1;
    m_rowIndex = -1;
    m_eof = m_keys.isEmpty();
    setState(DatasetState::Browse);
    notifyRecordChanged();
}

void Dataset::UpdateRecord()
{
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        Q_EMIT aboutToPost();
}

} // namespace itm
