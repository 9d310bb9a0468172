#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/KeysetLoad.h"

#include <QMetaObject>
#include <climits>

// The keys of a cursor read in the background: the cursor is open on its first
// row at once, and every access that needs the whole keyset takes the read's
// result first, waiting for it if need be.
namespace itm {

qint64 Dataset::rowsAbout() const
{
    // The highest row key: one step down the table's tree, and never fewer
    // than the rows there are. A table without row keys counts as small.
    try {
        // A server's table has no row numbers of its own; its key is numbered alike.
        const QString key = m_connection.handle() ? QStringLiteral("rowid") : m_keyColumn;
        Statement highest(m_connection, QStringLiteral("SELECT max(%2) FROM %1").arg(m_wholeTable, key));
        return highest.step() ? highest.integer(0) : 0;
    } catch (const DatabaseError&) {
        return 0;
    }
}

bool Dataset::startKeyLoad(std::optional<qint64> keep)
{
    // Only the committed rows of a file are what a second connection sees.
    if (m_backgroundFromRows < 0 || m_wholeTable.isEmpty() || !m_params.isEmpty() || m_connection.inTransaction())
        return false;
    const QString path = m_connection.secondConnectionLocation();
    const qint64 rows = path.isEmpty() ? 0 : rowsAbout();
    if (path.isEmpty() || rows < m_backgroundFromRows)
        return false;
    const QVector<int> kept = keptColumns();
    std::unique_ptr<KeysetLoad> load;
    try {
        load = std::make_unique<KeysetLoad>(
            path, keysetSql(kept), int(kept.size()), orderPosition(kept), qMin(rows, qint64(INT_MAX)));
    } catch (const DatabaseError&) {
        // Read here instead: that read reports whatever is wrong with the file.
        return false;
    }
    if (load->hasParameters())
        return false;
    // Taken before the read starts: a write in between makes the next Refresh read again.
    const ChangeStamp stamp = currentStamp();
    // The row to keep current, when it is still there, else the first row, by
    // the index: the current record answers while the rest is read.
    std::optional<qint64> firstKey;
    if (keep) {
        Statement kept(m_connection,
            QStringLiteral("SELECT %1 FROM (%2) AS sursa WHERE %1 = :itm_kept_key").arg(m_keyColumn, m_sql));
        kept.bind(QStringLiteral("itm_kept_key"), *keep);
        if (kept.step())
            firstKey = kept.integer(0);
    }
    if (!firstKey) {
        Statement first(m_connection, QStringLiteral("SELECT %1 FROM (%2) AS sursa LIMIT 1").arg(m_keyColumn, m_sql));
        if (first.step())
            firstKey = first.integer(0);
    }
    m_loadStamp = stamp;
    KeysetLoad* reading = load.get();
    const int serial = m_rows.beginLoad(std::move(load), firstKey, kept);
    reading->start([this, serial] {
        QMetaObject::invokeMethod(
            this, [this, serial] { keysLoaded(serial); }, Qt::QueuedConnection);
    });
    return true;
}

bool Dataset::keysReady() const
{
    return m_rows.loadFinished();
}

bool Dataset::settleKeyLoad()
{
    if (m_rows.loading()) {
        // Only the first row can have been current meanwhile; it stays
        // current by its key, wherever the whole read put it.
        const bool hadCurrent = m_current >= 0;
        const qint64 currentKey = hadCurrent ? m_rows.keyAt(m_current) : 0;
        if (m_rows.settleLoad()) {
            m_stamp = m_loadStamp;
            const int found = hadCurrent ? m_rows.findKey(currentKey) : -1;
            m_current = found >= 0 ? found : (m_rows.isEmpty() ? -1 : 0);
            m_rowIndex = -1;
            m_eof = m_rows.isEmpty();
        }
    }
    return !m_rows.loadError();
}

void Dataset::waitForKeys()
{
    if (!settleKeyLoad())
        throw DatabaseError(*m_rows.loadError());
}

void Dataset::stopKeyLoad()
{
    m_rows.stopLoad();
}

void Dataset::keysLoaded(int serial)
{
    if (serial != m_rows.loadSerial() || !Active())
        return;
    // A failed read keeps its error for the next access that needs the keys.
    // A cursor that is being edited took the keys before it began; its
    // controls keep what is typed in them.
    if (!settleKeyLoad() || m_state != DatasetState::Browse)
        return;
    notifyRecordChanged();
}

} // namespace itm
