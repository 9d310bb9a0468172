#include "store/Dataset.h"

#include "store/Connection.h"
#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <QRegularExpression>
#include <cmath>

namespace itm {

namespace {

int sizeFromDeclaration(const QString& declared)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const auto match = size.match(declared);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

const QString rowKeyParameter = QStringLiteral("itm_row_key");

} // namespace

// ---- Field ---------------------------------------------------------------

QString Field::name() const
{
    return m_dataset->columnNames().at(m_index);
}

ColumnType Field::type() const
{
    return m_dataset->columnType(m_index);
}

int Field::size() const
{
    return m_dataset->columnSize(m_index);
}

QVariant Field::AsVariant() const
{
    return m_dataset->value(m_index);
}

QString Field::AsString() const
{
    return valueText(AsVariant());
}

qint64 Field::AsInteger() const
{
    const QVariant value = AsVariant();
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return std::llround(value.toDouble());
    default:
        break;
    }
    // A number column gets a text only from a row made elsewhere; a text
    // column read as a number is the caller's conversion.
    if (type() == ColumnType::Text)
        return StrToInt(value.toString());
    try {
        return StrToInt(value.toString());
    } catch (const ConversionError& error) {
        throw NumberColumnError(name(), error);
    }
}

double Field::AsFloat() const
{
    const QVariant value = AsVariant();
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble();
    default:
        break;
    }
    if (type() == ColumnType::Text)
        return StrToFloat(value.toString());
    try {
        return StrToFloat(value.toString());
    } catch (const ConversionError& error) {
        throw NumberColumnError(name(), error);
    }
}

bool Field::IsNull() const
{
    return AsVariant().isNull();
}

void Field::setAsString(const QString& text) const
{
    m_dataset->setValue(m_index, QVariant(text));
}

void Field::setAsInteger(qint64 value) const
{
    m_dataset->setValue(m_index, QVariant(value));
}

void Field::setAsFloat(double value) const
{
    m_dataset->setValue(m_index, QVariant(value));
}

void Field::setAsVariant(const QVariant& value) const
{
    m_dataset->setValue(m_index, value);
}

// ---- Dataset -------------------------------------------------------------

Dataset::Dataset(Connection& connection, const QString& name, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
    , m_name(name)
{
    setObjectName(name);
}

Dataset::~Dataset() = default;

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
        sizes.append(sizeFromDeclaration(declared));
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
    readKeys();
    m_state = DatasetState::Browse;
    m_current = m_keys.isEmpty() ? -1 : 0;
    m_eof = m_keys.isEmpty();
    m_rowIndex = -1;
    Q_EMIT activeChanged();
    Q_EMIT stateChanged();
    notifyRecordChanged();
}

void Dataset::readKeys()
{
    QStringList cached;
    for (const QString& column : std::as_const(m_cachedColumnNames)) {
        if (m_columns.contains(column))
            cached.append(column);
    }
    QString select = m_keyColumn;
    for (const QString& column : cached)
        select += QStringLiteral(", ") + column;
    Statement statement(m_connection, QStringLiteral("SELECT %1 FROM (%2)").arg(select, m_sql));
    bindParams(statement);
    QVector<qint64> keys;
    QVector<ColumnCache> caches(cached.size());
    while (statement.step()) {
        keys.append(statement.integer(0));
        for (int c = 0; c < cached.size(); ++c) {
            const QString text = valueText(statement.value(c + 1));
            caches[c].upper.append(text.toUpper());
            caches[c].texts.append(text);
        }
    }
    m_keys = std::move(keys);
    m_caches.clear();
    for (int c = 0; c < cached.size(); ++c)
        m_caches.insert(int(m_columns.indexOf(cached[c])), std::move(caches[c]));
}

void Dataset::readColumnCache(const QString& column)
{
    Statement statement(m_connection, QStringLiteral("SELECT %1, %2 FROM (%3)").arg(m_keyColumn, column, m_sql));
    bindParams(statement);
    QHash<qint64, QString> byKey;
    byKey.reserve(m_keys.size());
    while (statement.step())
        byKey.insert(statement.integer(0), valueText(statement.value(1)));
    ColumnCache cache;
    cache.texts.reserve(m_keys.size());
    for (qint64 key : std::as_const(m_keys)) {
        const QString text = byKey.value(key);
        cache.upper.append(text.toUpper());
        cache.texts.append(text);
    }
    m_caches.insert(int(m_columns.indexOf(column)), std::move(cache));
}

const Dataset::ColumnCache& Dataset::columnCache(int index)
{
    auto it = m_caches.constFind(index);
    if (it == m_caches.constEnd()) {
        readColumnCache(m_columns.at(index));
        it = m_caches.constFind(index);
    }
    return *it;
}

QVector<QString> Dataset::columnTexts(const QString& column)
{
    requireOpen();
    const int index = FieldIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, column));
    return columnCache(index).texts;
}

void Dataset::Close()
{
    if (!Active())
        return;
    m_rowStatement.reset();
    m_keys.clear();
    m_caches.clear();
    m_buffer.clear();
    m_current = -1;
    m_rowIndex = -1;
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
    if (m_state != DatasetState::Browse)
        Cancel();
    const qint64 currentKey = m_current >= 0 ? m_keys.at(m_current) : 0;
    const bool hadCurrent = m_current >= 0;
    readKeys();
    m_rowIndex = -1;
    int index = m_keys.isEmpty() ? -1 : 0;
    if (hadCurrent) {
        const int found = int(m_keys.indexOf(currentKey));
        if (found >= 0)
            index = found;
    }
    m_current = index;
    m_eof = m_keys.isEmpty();
    notifyRecordChanged();
}

QString Dataset::rowStatementSql() const
{
    return QStringLiteral("SELECT * FROM (%1) WHERE %2 = :%3").arg(m_sql, m_keyColumn, rowKeyParameter);
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
        m_row = QVector<QVariant>(m_columns.size());
        Statement& statement = rowStatement();
        statement.reset();
        bindParams(statement);
        statement.bind(rowKeyParameter, m_keys.at(m_current));
        if (statement.step()) {
            for (int i = 0; i < m_columns.size(); ++i)
                m_row[i] = statement.value(i);
        }
        statement.reset();
        m_rowIndex = m_current;
    }
    return m_row;
}

QVariant Dataset::value(int index) const
{
    requireOpen();
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        return m_buffer.at(index);
    const auto& row = currentRow();
    return row.isEmpty() ? QVariant() : row.at(index);
}

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

void Dataset::Append()
{
    requireOpen();
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
        const QString text = valueText(m_buffer.at(it.key()));
        if (row >= it->texts.size()) {
            it->texts.append(text);
            it->upper.append(text.toUpper());
        } else {
            it->texts[row] = text;
            it->upper[row] = text.toUpper();
        }
    }
}

void Dataset::Post()
{
    requireOpen();
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    if (!m_update)
        throw Error(QStringLiteral("%1: Dataset is read only").arg(m_name));
    Q_EMIT aboutToPost();
    // The rule cleans the buffer itself; when the statement then fails the row
    // stays in edit or insert state with the cleaned buffer.
    if (m_beforePost)
        m_beforePost(*this);
    if (m_state == DatasetState::Insert) {
        WriteRow(m_connection, *m_update, RowWrite::Insert, m_columns, m_buffer, {});
        const qint64 key = m_connection.lastInsertRowId();
        m_buffer[m_keyIndex] = key;
        m_keys.append(key);
        updateCachesFromBuffer(int(m_keys.size()) - 1);
        m_current = int(m_keys.size()) - 1;
    } else {
        WriteRow(m_connection, *m_update, RowWrite::Modify, m_columns, m_buffer, m_oldRow);
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
    WriteRow(m_connection, *m_update, RowWrite::Delete, m_columns, QVector<QVariant>(m_columns.size()), oldRow);
    m_keys.removeAt(m_current);
    for (auto it = m_caches.begin(); it != m_caches.end(); ++it) {
        it->texts.removeAt(m_current);
        it->upper.removeAt(m_current);
    }
    m_buffer.clear();
    if (m_current >= m_keys.size())
        m_current = int(m_keys.size()) - 1;
    m_rowIndex = -1;
    m_eof = m_keys.isEmpty();
    setState(DatasetState::Browse);
    notifyRecordChanged();
}

bool Dataset::Locate(const QString& columns, const QVariantList& values, LocateOptions options)
{
    requireOpen();
    const QStringList names = columns.split(u';');
    if (names.size() != values.size())
        throw Error(QStringLiteral("%1: Locate needs one value per field").arg(m_name));
    struct Criterion
    {
        const ColumnCache* cache;
        QString text;
        std::optional<double> number;
    };
    QVector<int> indexes;
    for (const QString& name : names) {
        const int index = FieldIndex(name.trimmed());
        if (index < 0)
            throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, name.trimmed()));
        indexes.append(index);
    }
    const bool caseInsensitive = options & LocateCaseInsensitive;
    const bool partial = options & LocatePartialKey;
    QVector<Criterion> criteria;
    for (int i = 0; i < indexes.size(); ++i) {
        Criterion criterion { &columnCache(indexes[i]), valueText(values[i]), std::nullopt };
        if (caseInsensitive)
            criterion.text = criterion.text.toUpper();
        // Numeric columns compare as numbers, so the text "03" finds the month 3.
        if (m_types[indexes[i]] != ColumnType::Text && !partial)
            criterion.number = TryStrToFloat(valueText(values[i]));
        criteria.append(criterion);
    }
    const int rowCount = int(m_keys.size());
    for (int row = 0; row < rowCount; ++row) {
        bool match = true;
        for (const Criterion& criterion : std::as_const(criteria)) {
            const QString& candidate
                = caseInsensitive ? criterion.cache->upper.at(row) : criterion.cache->texts.at(row);
            if (criterion.number) {
                const auto number = TryStrToFloat(candidate);
                match = number && *number == *criterion.number;
            } else if (partial) {
                match = candidate.startsWith(criterion.text);
            } else {
                match = candidate == criterion.text;
            }
            if (!match)
                break;
        }
        if (match) {
            // A row being edited is never posted or dropped by a search: the
            // search then only answers and the cursor stays where it is.
            if (m_state == DatasetState::Browse)
                moveTo(row);
            return true;
        }
    }
    return false;
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
    m_eof = m_keys.isEmpty();
    if (!m_keys.isEmpty())
        moveTo(0);
}

void Dataset::Next()
{
    requireOpen();
    if (m_current + 1 >= m_keys.size()) {
        m_eof = true;
        return;
    }
    moveTo(m_current + 1);
}

int Dataset::RecNo() const
{
    if (!Active() || m_state == DatasetState::Insert || m_current < 0)
        return -1;
    return m_current + 1;
}

void Dataset::setRecNo(int recNo)
{
    requireOpen();
    if (recNo < 1 || recNo > m_keys.size())
        return;
    moveTo(recNo - 1);
}

void Dataset::UpdateRecord()
{
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        Q_EMIT aboutToPost();
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
