#include "store/Dataset.h"

#include "store/Connection.h"
#include "store/Errors.h"
#include "store/KeysetLoad.h"

#include <QRegularExpression>

namespace itm {

namespace {

const QString rowKeyParameter = QStringLiteral("itm_row_key");

} // namespace

// ---- Dataset -------------------------------------------------------------

Dataset::Dataset(Connection& connection, const QString& name, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_name(name)
{
    setObjectName(name);
}

Dataset::~Dataset()
{
    // The reading thread is stopped and joined while the whole cursor is still there.
    stopKeyLoad();
}

void Dataset::setSql(const QString& sql)
{
    if (Active())
        Close();
    m_sql = sql;
}

void Dataset::bindParams(Statement& statement) const
{
    for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
        statement.bind(it.key(), it.value());
}

void Dataset::Open()
{
    if (Active())
        return;
    // The row statement tells the columns, their types and sizes, and reads the
    // current row by its key whenever that row changes.
    auto rowStatement = std::make_unique<Statement>(m_connection, rowStatementSql());
    QStringList columns;
    QVector<ColumnType> types;
    QVector<int> sizes;
    for (int i = 0; i < rowStatement->columnCount(); ++i) {
        columns.append(rowStatement->columnName(i));
        const QString declared = rowStatement->declaredType(i);
        types.append(ColumnTypeFromDeclaration(declared));
        sizes.append(ColumnSizeFromDeclaration(declared));
    }
    const int keyIndex = int(columns.indexOf(m_keyColumn));
    if (keyIndex < 0)
        throw DatabaseError(QStringLiteral("no such column: %1").arg(m_keyColumn));
    m_rowStatement = std::move(rowStatement);
    m_rowStatementGeneration = m_connection.generation();
    m_columns = columns;
    m_types = types;
    m_sizes = sizes;
    m_keyIndex = keyIndex;
    findOrderColumn();
    if (!startKeyLoad())
        readKeys();
    m_state = DatasetState::Browse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_eof = m_rows.isEmpty();
    m_cachesRows = m_connection.isServer();
    forgetRows();
    Q_EMIT activeChanged();
    Q_EMIT stateChanged();
    notifyRecordChanged();
}

void Dataset::findOrderColumn()
{
    // Only a whole table in the order of one column: then a posted row's place
    // follows from its text alone, and no filter can drop it.
    static const QRegularExpression wholeTableInOrder(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)\\s+order\\s+by\\s+(\\w+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = wholeTableInOrder.match(m_sql);
    m_wholeTable = match.captured(1);
    int order = match.hasMatch() ? FieldIndex(match.captured(2)) : -1;
    if (order >= 0 && m_types.at(order) != ColumnType::Text)
        order = -1;
    m_rows.setOrderColumn(order);
}

QVector<int> Dataset::keptColumns() const
{
    QVector<int> kept;
    for (const QString& column : std::as_const(m_cachedColumnNames)) {
        const int index = FieldIndex(column);
        if (index >= 0 && !kept.contains(index))
            kept.append(index);
    }
    const int order = m_rows.orderColumn();
    if (order >= 0 && !kept.contains(order))
        kept.append(order);
    return kept;
}

QString Dataset::keysetSql(const QVector<int>& kept) const
{
    QString select = m_keyColumn;
    for (int index : kept)
        select += QStringLiteral(", ") + m_columns.at(index);
    return QStringLiteral("SELECT %1 FROM (%2) AS sursa").arg(select, m_sql);
}

int Dataset::orderPosition(const QVector<int>& kept) const
{
    return m_rows.orderColumn() >= 0 ? int(kept.indexOf(m_rows.orderColumn())) : -1;
}

void Dataset::readKeys()
{
    const QVector<int> kept = keptColumns();
    Statement statement(m_connection, keysetSql(kept));
    bindParams(statement);
    Keyset keyset = ReadKeyset(statement, int(kept.size()), orderPosition(kept), m_rows.size());
    statement.reset();
    m_rows.adopt(std::move(keyset), kept);
    m_stamp = currentStamp();
}

Dataset::ChangeStamp Dataset::currentStamp() const
{
    return ChangeStamp { m_connection.generation(), m_connection.dataVersion(), m_connection.changesNotNoted(),
        m_connection.rollbacks(), m_connection.writesBy(m_update) };
}

void Dataset::readColumnCache(const QString& column)
{
    Statement statement(
        m_connection, QStringLiteral("SELECT %1, %2 FROM (%3) AS sursa").arg(m_keyColumn, column, m_sql));
    bindParams(statement);
    QHash<qint64, QByteArray> byKey;
    byKey.reserve(m_rows.size());
    while (statement.step())
        byKey.insert(statement.integer(0), statement.storedBytes(1).toByteArray());
    TextColumn cache;
    cache.reserve(m_rows.size(), 0);
    for (int row = 0; row < m_rows.size(); ++row)
        cache.append(byKey.value(m_rows.keyAt(row)));
    m_rows.setTexts(FieldIndex(column), std::move(cache));
}

const TextColumn& Dataset::columnCache(int index)
{
    waitForKeys();
    if (!m_rows.hasTexts(index))
        readColumnCache(m_columns.at(index));
    return m_rows.texts(index);
}

TextColumn Dataset::columnTextColumn(const QString& column)
{
    requireOpen();
    waitForKeys();
    const int index = FieldIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, column));
    return columnCache(index);
}

QVector<QString> Dataset::columnTexts(const QString& column)
{
    requireOpen();
    waitForKeys();
    const int index = FieldIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, column));
    const TextColumn& cache = columnCache(index);
    QVector<QString> texts;
    texts.reserve(cache.size());
    for (int row = 0; row < cache.size(); ++row)
        texts.append(cache.textAt(row));
    return texts;
}

void Dataset::Close()
{
    if (!Active())
        return;
    stopKeyLoad();
    m_rowStatement.reset();
    m_rows.clear();
    m_buffer.clear();
    m_current = -1;
    forgetRows();
    m_eof = true;
    m_state = DatasetState::Inactive;
    Q_EMIT stateChanged();
    Q_EMIT activeChanged();
    notifyRecordChanged();
}

void Dataset::requireOpen() const
{
    if (!Active())
        throw Error(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(m_name));
}

void Dataset::Refresh()
{
    requireOpen();
    // A background read that failed is tried again here, as a read of its own.
    const bool keysetWhole = settleKeyLoad();
    if (m_state != DatasetState::Browse)
        Cancel();
    const qint64 currentKey = m_current >= 0 ? m_rows.keyAt(m_current) : 0;
    const bool hadCurrent = m_current >= 0;
    const int order = m_rows.orderColumn();
    const std::optional<QByteArray> currentText = keysetWhole && hadCurrent && order >= 0
        ? std::optional(m_rows.texts(order).bytesAt(m_current).toByteArray())
        : std::nullopt;
    if (keysetWhole && order >= 0 && currentStamp() == m_stamp)
        m_rows.placeDisplacedRows();
    else
        readKeys();
    m_rows.clearLoadError();
    forgetRows();
    int index = m_rows.isEmpty() ? -1 : 0;
    if (hadCurrent) {
        const int found = m_rows.findKey(currentKey, currentText ? &*currentText : nullptr);
        if (found >= 0)
            index = found;
    }
    m_current = index;
    m_eof = m_rows.isEmpty();
    notifyRecordChanged();
}

void Dataset::RefreshInBackground()
{
    requireOpen();
    if (m_state != DatasetState::Browse)
        Cancel();
    // A read still under way is of rows older than this one's: it stops
    // rather than being waited for (only the current row is known meanwhile).
    const std::optional<qint64> currentKey = m_current >= 0 ? std::optional(m_rows.keyAt(m_current)) : std::nullopt;
    if (m_rows.loading())
        stopKeyLoad();
    if (!startKeyLoad(currentKey)) {
        Refresh();
        return;
    }
    m_rows.clearLoadError();
    forgetRows();
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_eof = m_rows.isEmpty();
    notifyRecordChanged();
}

void Dataset::forgetRows()
{
    m_rowIndex = -1;
    m_rowCache.clear();
}

QString Dataset::rowStatementSql() const
{
    return QStringLiteral("SELECT * FROM (%1) AS sursa WHERE %2 = :%3").arg(m_sql, m_keyColumn, rowKeyParameter);
}

Statement& Dataset::rowStatement() const
{
    if (m_rowStatementGeneration != m_connection.generation()) {
        m_rowStatement = std::make_unique<Statement>(m_connection, rowStatementSql());
        m_rowStatementGeneration = m_connection.generation();
    }
    return *m_rowStatement;
}

const QVector<QVariant>& Dataset::currentRow() const
{
    if (m_current < 0) {
        static const QVector<QVariant> none;
        return none;
    }
    if (m_rowIndex != m_current) {
        const qint64 key = m_rows.keyAt(m_current);
        if (m_cachesRows) {
            const RowCacheStamp stamp { m_connection.generation(), m_connection.dataVersion(),
                m_connection.totalChanges(), m_connection.rollbacks() };
            if (!(stamp == m_rowCacheStamp)) {
                m_rowCache.clear();
                m_rowCacheStamp = stamp;
            }
            const auto cached = m_rowCache.constFind(key);
            if (cached != m_rowCache.cend()) {
                m_row = *cached;
                m_rowIndex = m_current;
                return m_row;
            }
        }
        m_row = QVector<QVariant>(m_columns.size());
        Statement& statement = rowStatement();
        statement.reset();
        bindParams(statement);
        statement.bind(rowKeyParameter, key);
        if (statement.step()) {
            for (int i = 0; i < m_columns.size(); ++i)
                m_row[i] = statement.value(i);
        }
        statement.reset();
        m_rowIndex = m_current;
        if (m_cachesRows) {
            // A few hundred rows: the county list whole, the payers typed lately.
            if (m_rowCache.size() >= 512)
                m_rowCache.clear();
            m_rowCache.insert(key, m_row);
        }
    }
    return m_row;
}

std::optional<QByteArray> Dataset::storedBytesOfRow(qint64 key, int column) const
{
    Statement& statement = rowStatement();
    statement.reset();
    bindParams(statement);
    statement.bind(rowKeyParameter, key);
    std::optional<QByteArray> bytes;
    if (statement.step())
        bytes = statement.storedBytes(column).toByteArray();
    statement.reset();
    return bytes;
}

QVariant Dataset::value(int index) const
{
    requireOpen();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        return m_buffer.at(index);
    const auto& row = currentRow();
    return row.isEmpty() ? QVariant() : row.at(index);
}

int Dataset::FieldIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Field Dataset::FieldByName(const QString& name)
{
    requireOpen();
    const int index = FieldIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
    return Field(this, index);
}

QVariant Dataset::fieldValue(const QString& column) const
{
    requireOpen();
    const int index = FieldIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, column));
    return value(index);
}

void Dataset::setState(DatasetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

void Dataset::moveTo(int index)
{
    if (m_state != DatasetState::Browse)
        Post();
    m_eof = false;
    if (index == m_current)
        return;
    m_current = index;
    notifyRecordChanged();
}

void Dataset::First()
{
    requireOpen();
    waitForKeys();
    m_eof = m_rows.isEmpty();
    if (!m_rows.isEmpty())
        moveTo(0);
}

void Dataset::Next()
{
    requireOpen();
    waitForKeys();
    if (m_current + 1 >= m_rows.size()) {
        m_eof = true;
        return;
    }
    moveTo(m_current + 1);
}

int Dataset::RecNo()
{
    if (!Active() || m_state == DatasetState::Insert || m_current < 0)
        return -1;
    // While the keys are read only the first row's place is known.
    if (m_rows.loading() && m_rows.keyAt(m_current) != m_rows.loadFirstKey())
        waitForKeys();
    return m_current + 1;
}

int Dataset::RecordCount()
{
    if (Active())
        waitForKeys();
    return m_rows.size();
}

void Dataset::setRecNo(int recNo)
{
    requireOpen();
    waitForKeys();
    if (recNo < 1 || recNo > m_rows.size())
        return;
    moveTo(recNo - 1);
}

void Dataset::DisableControls()
{
    ++m_disableCount;
}

void Dataset::EnableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0 && m_notifyPending) {
        m_notifyPending = false;
        Q_EMIT recordChanged();
    }
}

void Dataset::notifyRecordChanged()
{
    if (ControlsDisabled()) {
        m_notifyPending = true;
        return;
    }
    Q_EMIT recordChanged();
}

void Query::ExecSQL()
{
    m_connection.prepareForWrite();
    m_connection.exec(m_sql);
}

} // namespace itm
