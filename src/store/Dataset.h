#pragma once

#include "store/ColumnType.h"
#include "store/Field.h"
#include "store/RecordReader.h"
#include "store/RowIndex.h"
#include "store/TextColumn.h"
#include "store/UpdateSql.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

namespace itm {

class Connection;
class Dataset;
class Statement;

enum class DatasetState
{
    Inactive,
    Browse,
    Edit,
    Insert
};

// Locate options: case-insensitive comparison and partial key (the column's
// text begins with the value).
enum LocateOption
{
    LocateCaseInsensitive = 0x1,
    LocatePartialKey = 0x2
};
Q_DECLARE_FLAGS(LocateOptions, LocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LocateOptions)

// A cursor over the rows of one select statement, with one current row and an
// edit buffer: the states, the statements and the posts over a RowIndex. Only
// the row keys (and the columns named with setCachedColumns, as compact byte
// buffers) are kept for every row; the other columns of a row are read when
// that row is current. A whole table read in the order of one
// column ("select * from T order by C") is searched on that column by binary
// search, and a Refresh with nothing written since but this cursor's own posts
// puts the posted rows in their places without reading the keys again.
//
// A cursor asked to load its keys in the background opens at once on its
// first row and reads the rest in a thread of its own; whatever needs the
// whole keyset (the row count, moves, searches, writes, the column texts)
// waits for that read first.
class Dataset : public QObject, public RecordReader
{
    Q_OBJECT
public:
    Dataset(Connection& connection, const QString& name, QObject* parent = nullptr);
    ~Dataset() override;

    void setSql(const QString& sql);
    QString sql() const { return m_sql; }
    void setKeyColumn(const QString& column) { m_keyColumn = column; }
    void setCachedColumns(const QStringList& columns) { m_cachedColumnNames = columns; }
    void setUpdateSql(const UpdateSql* update) { m_update = update; }
    void setBeforePost(std::function<void(Dataset&)> rule) { m_beforePost = std::move(rule); }
    // A bound control that may hold typed text not yet in the buffer writes
    // it when asked: before every post (ahead of the before-post rule) and at
    // UpdateRecord, in the order the writers were added. Called directly, so
    // that an error one raises (a text its column refuses) reaches whoever
    // posted. A writer goes with its owner, or with removePendingTextWriters.
    // holdsText, when given, tells whether the control holds such text.
    void addPendingTextWriter(QObject* owner, std::function<void()> write, std::function<bool()> holdsText = {});
    void removePendingTextWriters(const QObject* owner);
    // Open reads the keys over a second, read-only connection in a thread of
    // its own when the statement reads a whole table of a file ("select * from
    // T order by C") that holds about fromRows rows or more (-1: never); a
    // smaller table is read at once, as every other statement is. When the
    // read ends the bound controls are told, as after a Refresh; a read that
    // failed raises its error at the next access that needs the keys.
    void setLoadKeysInBackground(qint64 fromRows) { m_backgroundFromRows = fromRows; }
    // Whether the whole keyset can be had without waiting (also when its read failed).
    bool keysReady() const;

    // Parameters of the statement (":name" in the text), set before Open.
    void setParam(const QString& name, const QVariant& value)
    {
        m_params.insert(name, value);
        m_rowCache.clear();
    }
    QVariant param(const QString& name) const { return m_params.value(name); }

    void Open();
    void Close();
    bool Active() const { return m_state != DatasetState::Inactive; }
    void Refresh();
    // Refresh of a large register without the wait: the current row is read
    // again at once and stays current, the rest is read as at Open, in a
    // thread of its own; a small one is refreshed as usual.
    void RefreshInBackground();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    bool Locate(const QString& columns, const QVariantList& values, LocateOptions options = {});
    bool Locate(const QString& column, const QVariant& value, LocateOptions options = {})
    {
        return Locate(column, QVariantList { value }, options);
    }

    Field FieldByName(const QString& name);
    Field FieldAt(int index) { return Field(this, index); }
    int FieldIndex(const QString& name) const; // -1 when absent
    const QStringList& columnNames() const { return m_columns; }
    ColumnType columnType(int index) const { return m_types.at(index); }
    int columnSize(int index) const { return m_sizes.at(index); }

    void First();
    void Next();
    bool Eof() const { return m_eof; }
    bool IsEmpty() const { return m_rows.isEmpty(); }
    int RecordCount();
    // 1-based position of the current row, -1 when there is none; a row found
    // while the keys are read waits for them, to know its place.
    int RecNo();
    void setRecNo(int recNo);
    int currentIndex() const { return m_current; }
    DatasetState State() const { return m_state; }

    // Bound controls write what is typed but not yet written (a post does this itself).
    void UpdateRecord();
    // Whether the row being edited holds anything the user typed and did not
    // save: a new row, a column changed since the edit began, or text a bound
    // control has not written yet. Reading the rows again would lose it.
    bool holdsUnsavedInput() const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // The texts of one column for every row, in cursor order. Shared, so a
    // caller may keep the copy it got (the drop-down lists do).
    QVector<QString> columnTexts(const QString& column);
    // The same as one compact, shared buffer: no string object per row.
    TextColumn columnTextColumn(const QString& column);

    QVariant fieldValue(const QString& column) const override;

    QString name() const { return m_name; }

    // Used by Field.
    QVariant value(int index) const;
    void setValue(int index, const QVariant& value);

Q_SIGNALS:
    // The current row moved or the whole record changed (open, refresh, post, cancel).
    void recordChanged();
    // One column of the current row's buffer changed.
    void fieldChanged(int index);
    void activeChanged();
    void stateChanged();

private:
    // What tells whether anything but this cursor's own posts may have
    // changed the rows since they were read.
    struct ChangeStamp
    {
        int generation = -1;
        qint64 dataVersion = -1;
        qint64 changesNotNoted = -1;
        qint64 rollbacks = -1;
        qint64 ownWrites = -1;
        bool operator==(const ChangeStamp&) const = default;
    };
    void findOrderColumn();
    QVector<int> keptColumns() const;
    QString keysetSql(const QVector<int>& kept) const;
    int orderPosition(const QVector<int>& kept) const;
    void readKeys();
    qint64 rowsAbout() const;
    bool startKeyLoad(std::optional<qint64> keep = std::nullopt);
    bool settleKeyLoad();
    void waitForKeys();
    void stopKeyLoad();
    void keysLoaded(int serial);
    void readColumnCache(const QString& column);
    const TextColumn& columnCache(int index);
    ChangeStamp currentStamp() const;
    std::optional<bool> locateBeforeKeys(const QString& columns, const QVariantList& values, LocateOptions options);
    void noteOwnWrite(qint64 changesBefore);
    std::function<QByteArray(int column)> bufferTexts() const;
    const QVector<QVariant>& currentRow() const;
    // The current row, and every row kept, are read again when next asked for.
    void forgetRows();
    // The stored bytes of one column of the row with the given key, as the
    // database holds it now; nothing when no such row exists.
    std::optional<QByteArray> storedBytesOfRow(qint64 key, int column) const;
    void bindParams(Statement& statement) const;
    void moveTo(int index);
    void notifyRecordChanged();
    void setState(DatasetState state);
    void requireOpen() const;
    QVariant convertForColumn(int index, const QVariant& value) const;
    QString rowStatementSql() const;
    Statement& rowStatement() const;
    void writePendingTexts();

    Connection& m_connection;
    QString m_name;
    QString m_sql;
    QString m_keyColumn = QStringLiteral("id");
    QStringList m_cachedColumnNames;
    const UpdateSql* m_update = nullptr;
    std::function<void(Dataset&)> m_beforePost;
    struct PendingTextWriter
    {
        QPointer<QObject> owner;
        std::function<void()> write;
        std::function<bool()> holdsText;
    };
    QVector<PendingTextWriter> m_pendingTextWriters;
    QHash<QString, QVariant> m_params;

    QStringList m_columns;
    QVector<ColumnType> m_types;
    QVector<int> m_sizes;
    int m_keyIndex = 0;

    RowIndex m_rows;
    QString m_wholeTable; // the table a whole-table statement reads, else empty
    ChangeStamp m_stamp;
    int m_current = -1;
    bool m_eof = true;

    mutable int m_rowIndex = -1;
    mutable QVector<QVariant> m_row;
    // On a server each row read is a round trip: the rows read last are kept
    // by key while nothing can have changed them (no save on this connection
    // or told of by the server, no rollback, no new link) and until the rows
    // are read again.
    struct RowCacheStamp
    {
        int generation = -1;
        qint64 dataVersion = -1;
        qint64 totalChanges = -1;
        qint64 rollbacks = -1;
        bool operator==(const RowCacheStamp&) const = default;
    };
    bool m_cachesRows = false;
    mutable QHash<qint64, QVector<QVariant>> m_rowCache;
    mutable RowCacheStamp m_rowCacheStamp;
    // Prepared again when the connection has been opened anew.
    mutable std::unique_ptr<Statement> m_rowStatement;
    mutable int m_rowStatementGeneration = -1;

    DatasetState m_state = DatasetState::Inactive;
    QVector<QVariant> m_buffer;
    QVector<QVariant> m_oldRow; // the row as read when the edit began

    int m_disableCount = 0;
    bool m_notifyPending = false;

    qint64 m_backgroundFromRows = -1;
    ChangeStamp m_loadStamp; // taken before the background read began
};

// The scratch query: a statement set by the caller, run without a result.
class Query
{
public:
    explicit Query(Connection& connection)
        : m_connection(connection)
    {
    }
    void setSql(const QString& sql) { m_sql = sql; }
    QString sql() const { return m_sql; }
    void ExecSQL();

private:
    Connection& m_connection;
    QString m_sql;
};

// What a data-aware control is bound to.
class DataSource : public QObject
{
    Q_OBJECT
public:
    DataSource(Dataset* dataset, const QString& name, QObject* parent = nullptr)
        : QObject(parent)
        , m_dataset(dataset)
    {
        setObjectName(name);
    }
    Dataset* dataset() const { return m_dataset; }

private:
    Dataset* m_dataset;
};

} // namespace itm
