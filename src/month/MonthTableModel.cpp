#include "month/MonthTableModel.h"

#include "month/MonthColumns.h"
#include "platform/FreedMemory.h"
#include "store/Connection.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <functional>
#include <numeric>
#include <vector>

namespace itm {

MonthTableModel::MonthTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

MonthTableModel::~MonthTableModel() = default;

void MonthTableModel::open(Connection& connection, const MonthPeriod& period, int firstSlice)
{
    beginResetModel();
    m_reader.reset();
    m_rows.clear();
    m_shown.clear();
    m_order.clear();
    m_widest = QVector<QString>(kMonthColumnCount);
    m_widestCode.clear();
    m_totals = MonthTotals();
    m_balanceTotal = 0;
    // A register read before (by this model or another) gives its memory
    // back, rather than leaving holes a new reading would grow around.
    MapLargeBlocksApart();
    try {
        startBalances(connection, period);
        m_reader = std::make_unique<MonthListingReader>(connection, period);
        if (!m_reader->readMore(m_rows, firstSlice))
            m_reader.reset();
        if (m_arrearsOnly)
            waitForBalances();
    } catch (...) {
        m_reader.reset();
        endResetModel();
        throw;
    }
    AppendMatching(m_shown, m_rows, 0, m_filter);
    keepArrears(m_shown);
    noteTotals(m_shown);
    noteWidest(0);
    endResetModel();
    if (!inArrivalOrder()) {
        finishLoading();
        applySort();
    }
    Q_EMIT totalsChanged();
    if (!m_reader)
        Q_EMIT loadingFinished();
}

bool MonthTableModel::loadMore(int count)
{
    if (!m_reader)
        return false;
    const qsizetype firstNew = m_rows.size();
    bool more = false;
    try {
        more = m_reader->readMore(m_rows, count);
    } catch (...) {
        // What was read stays shown; the rest of the register is not read.
        m_reader.reset();
        appendRead(firstNew);
        throw;
    }
    if (!more)
        m_reader.reset();
    appendRead(firstNew);
    if (!more)
        Q_EMIT loadingFinished();
    return more;
}

void MonthTableModel::finishLoading()
{
    while (loadMore(16384)) { }
}

void MonthTableModel::changeMonth(Connection& connection, const MonthPeriod& period, int firstSlice,
    const QSet<qint64>& savedPayers, const std::optional<QSet<qint64>>& declarationsOf)
{
    if (m_reader || m_rows.size() == 0) {
        open(connection, period, firstSlice);
        return;
    }
    const QVector<MonthRow> saved
        = ReadListedPayers(connection, QList<qint64>(savedPayers.cbegin(), savedPayers.cend()));
    // The payers stay, but for those saved; the rows shown, their order and
    // totals follow the new month's declarations.
    beginResetModel();
    QVector<qsizetype> leaving;
    for (const qint64 id : savedPayers) {
        const qsizetype position = m_rows.positionOfId(id);
        if (position >= 0)
            leaving.append(position);
    }
    std::sort(leaving.begin(), leaving.end(), std::greater<>());
    for (const qsizetype position : std::as_const(leaving))
        m_rows.remove(position);
    for (const MonthRow& row : saved)
        m_rows.insertInOrder(row);
    m_shown.clear();
    m_order.clear();
    m_widest = QVector<QString>(kMonthColumnCount);
    m_totals = MonthTotals();
    m_balanceTotal = 0;
    try {
        startBalances(connection, period);
        if (declarationsOf) {
            QSet<qint64> payers = *declarationsOf;
            ReadMonthDeclarationsOf(connection, period, payers.unite(savedPayers), m_rows);
        } else {
            ReadMonthDeclarations(connection, period, m_rows);
        }
        if (m_arrearsOnly)
            waitForBalances();
    } catch (...) {
        m_rows.clear();
        endResetModel();
        Q_EMIT totalsChanged();
        throw;
    }
    AppendMatching(m_shown, m_rows, 0, m_filter);
    keepArrears(m_shown);
    noteTotals(m_shown);
    noteWidest(0);
    endResetModel();
    if (!inArrivalOrder())
        applySort();
    Q_EMIT totalsChanged();
    Q_EMIT loadingFinished();
}

namespace {

int decimalLength(qint64 value)
{
    int length = value < 0 ? 2 : 1;
    for (quint64 rest = value < 0 ? 0 - quint64(value) : quint64(value); rest >= 10; rest /= 10)
        ++length;
    return length;
}

} // namespace

QString MonthTableModel::widestCounty() const
{
    QString widest;
    for (const QString& county : m_rows.counties()) {
        if (county.size() > widest.size())
            widest = county;
    }
    return widest;
}

void MonthTableModel::noteWidest(qsizetype firstNew)
{
    for (qsizetype i = firstNew; i < m_rows.size(); ++i) {
        if (m_rows.code(i).size() > m_widestCode.size())
            m_widestCode = QString::fromUtf8(m_rows.code(i));
        if (!m_rows.declared(i))
            continue;
        const bool faulty = m_rows.faulty(i);
        for (int column = int(MonthColumn::Employees); column < kMonthColumnCount; ++column) {
            const auto amountColumn = MonthColumn(column);
            // The text is made only when it may be the widest.
            if (!faulty && decimalLength(m_rows.amount(i, amountColumn)) <= m_widest.at(column).size())
                continue;
            const QString text = m_rows.amountText(i, amountColumn);
            if (text.size() > m_widest.at(column).size())
                m_widest[column] = text;
        }
    }
}

void MonthTableModel::noteTotals(const QVector<int>& positions)
{
    // Sums do not depend on the order: most of a register shown in another
    // order is added up in its own, where the memory is read straight on.
    const bool balances = !m_positionBalances.isEmpty();
    if (positions.size() * 4 < m_rows.size()) {
        for (const int position : positions) {
            m_rows.addTo(m_totals, position);
            if (balances)
                m_balanceTotal += m_positionBalances.at(position);
        }
        return;
    }
    std::vector<bool> shown(std::size_t(m_rows.size()), false);
    for (const int position : positions)
        shown[std::size_t(position)] = true;
    for (qsizetype position = 0; position < m_rows.size(); ++position) {
        if (shown[std::size_t(position)]) {
            m_rows.addTo(m_totals, position);
            if (balances)
                m_balanceTotal += m_positionBalances.at(position);
        }
    }
}

qint64 MonthTableModel::balanceSum(const QVector<int>& positions) const
{
    qint64 sum = 0;
    if (m_positionBalances.isEmpty())
        return sum;
    if (positions.size() * 4 < m_rows.size()) {
        for (const int position : positions)
            sum += m_positionBalances.at(position);
        return sum;
    }
    std::vector<bool> shown(std::size_t(m_rows.size()), false);
    for (const int position : positions)
        shown[std::size_t(position)] = true;
    for (qsizetype position = 0; position < m_rows.size(); ++position) {
        if (shown[std::size_t(position)])
            sum += m_positionBalances.at(position);
    }
    return sum;
}

QVector<MonthRow> MonthTableModel::faultyPayers() const
{
    QVector<MonthRow> faulty;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.faulty(i))
            faulty.append(m_rows.at(i));
    }
    return faulty;
}

void MonthTableModel::appendRead(qsizetype firstNew)
{
    noteWidest(firstNew);
    if (m_balancesRead)
        placeBalances(firstNew);
    // Rows arrive in payer-code order, the order shown while they arrive.
    QVector<int> added;
    AppendMatching(added, m_rows, firstNew, m_filter);
    keepArrears(added);
    if (!added.isEmpty()) {
        beginInsertRows(QModelIndex(), int(m_shown.size()), int(m_shown.size() + added.size()) - 1);
        m_shown += added;
        noteTotals(added);
        endInsertRows();
    }
    Q_EMIT totalsChanged();
}

void MonthTableModel::setFilter(const MonthFilter& filter)
{
    const bool narrower = filter.narrows(m_filter);
    m_filter = filter;
    showAgain(matching(narrower));
}

QVector<int> MonthTableModel::matching(bool narrower) const
{
    QVector<int> shown;
    if (narrower) {
        shown = NarrowedRows(m_shown, m_rows, m_filter);
    } else if (inArrivalOrder()) {
        AppendMatching(shown, m_rows, 0, m_filter);
    } else {
        // The register stays sorted: a wider filter costs one pass over it.
        shown = NarrowedRows(m_order, m_rows, m_filter);
    }
    keepArrears(shown);
    return shown;
}

void MonthTableModel::showAgain(QVector<int> shown)
{
    beginResetModel();
    m_shown = std::move(shown);
    m_totals = MonthTotals();
    m_balanceTotal = 0;
    noteTotals(m_shown);
    endResetModel();
    Q_EMIT totalsChanged();
}

void MonthTableModel::toggleMark(int row)
{
    const qint64 payerId = m_rows.payerId(m_shown.at(row));
    if (!m_marked.remove(payerId))
        m_marked.insert(payerId);
    marksChanged(row, row);
}

void MonthTableModel::markRange(const QSet<qint64>& before, int from, int to)
{
    const int first = qMax(0, qMin(from, to));
    const int last = qMin(int(m_shown.size()) - 1, qMax(from, to));
    m_marked = before;
    for (int row = first; row <= last; ++row)
        m_marked.insert(m_rows.payerId(m_shown.at(row)));
    // A range made shorter gives its rows back as they were before it.
    marksChanged(0, int(m_shown.size()) - 1);
}

QList<qint64> MonthTableModel::markedPayers() const
{
    QList<qint64> ids;
    if (m_marked.isEmpty())
        return ids;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_marked.contains(m_rows.payerId(i)))
            ids.append(m_rows.payerId(i));
    }
    return ids;
}

void MonthTableModel::marksChanged(int first, int last)
{
    if (first <= last)
        Q_EMIT dataChanged(
            index(first, 0), index(last, kMonthColumnCount - 1), { Qt::BackgroundRole, Qt::ForegroundRole });
}

int MonthTableModel::rowOfPayer(qint64 payerId) const
{
    for (int row = 0; row < m_shown.size(); ++row) {
        if (m_rows.payerId(m_shown.at(row)) == payerId)
            return row;
    }
    return -1;
}

int MonthTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int MonthTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kMonthColumnCount + 1;
}

QVariant MonthTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return QVariant();
    if (index.column() == kBalanceColumn) {
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::ToolTipRole && m_balancesRead && !balanceAt(index.row()))
            return QStringLiteral("O declaratie a platitorului are o suma care nu este un numar intreg.");
        if (role != Qt::DisplayRole || !m_balancesRead)
            return QVariant();
        const std::optional<qint64> balance = balanceAt(index.row());
        return balance ? QString::number(*balance) : QStringLiteral("?");
    }
    const auto column = MonthColumn(index.column());
    if (role == Qt::TextAlignmentRole)
        return IsAmountColumn(column) ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::BackgroundRole && role != Qt::ToolTipRole)
        return QVariant();
    const MonthRow row = payerAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return MonthCellText(row, column);
    case Qt::ForegroundRole:
        if (IsFaultyCell(row, column))
            return QColor(Qt::white);
        if (isMarked(index.row()))
            return QGuiApplication::palette().color(QPalette::HighlightedText);
        if (column == MonthColumn::Status && !row.declared())
            return QColor(170, 0, 0);
        return QVariant();
    case Qt::BackgroundRole:
        // An amount that could not be read stands out, marked or not.
        if (IsFaultyCell(row, column))
            return QColor(170, 0, 0);
        if (isMarked(index.row()))
            return QGuiApplication::palette().color(QPalette::Highlight);
        return QVariant();
    case Qt::ToolTipRole:
        if (row.faulty())
            return row.faults.constFirst().message;
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant MonthTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == kBalanceColumn) {
        if (role == Qt::DisplayRole)
            return QStringLiteral("%1 Sold").arg(section + 1);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap);
        return QVariant();
    }
    if (orientation != Qt::Horizontal || section < 0 || section >= kMonthColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QStringLiteral("%1 %2").arg(section + 1).arg(MonthColumnTitle(MonthColumn(section)));
    // The amounts' titles wrap: their columns are as wide as their values.
    if (role == Qt::TextAlignmentRole)
        return IsAmountColumn(MonthColumn(section)) ? int(Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap)
                                                    : int(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

void MonthTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kMonthColumnCount)
        return;
    const auto sortColumn = MonthColumn(column);
    const bool descending = order == Qt::DescendingOrder;
    if (sortColumn == m_sortColumn && descending == m_descending)
        return;
    m_sortColumn = sortColumn;
    m_descending = descending;
    if (!inArrivalOrder())
        finishLoading();
    applySort();
}

void MonthTableModel::applySort()
{
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QVector<int> positions;
    positions.reserve(before.size());
    for (const QModelIndex& index : before)
        positions.append(m_shown.at(index.row()));
    if (inArrivalOrder()) {
        m_order.clear();
        SortMonthRows(m_shown, m_rows, m_sortColumn, m_descending);
    } else {
        m_order.resize(m_rows.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        SortMonthRows(m_order, m_rows, m_sortColumn, m_descending);
        m_shown = NarrowedRows(m_order, m_rows, m_filter);
        keepArrears(m_shown);
    }
    // Selected and current rows follow their payers.
    QVector<int> rowOf(m_rows.size(), -1);
    for (int row = 0; row < m_shown.size(); ++row)
        rowOf[m_shown.at(row)] = row;
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after.append(index(rowOf.at(positions.at(i)), before.at(i).column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

void MonthTableModel::startBalances(Connection& connection, const MonthPeriod& period)
{
    m_balanceLoad.reset();
    m_balances = PayerBalances();
    m_positionBalances.clear();
    m_positionUnknown.clear();
    m_balancesRead = false;
    m_balanceError.clear();
    m_balanceTotal = 0;
    m_widestBalance.clear();
    const int serial = ++m_balanceSerial;
    const QString path = connection.secondConnectionLocation();
    const auto arrived = [this, serial] {
        QMetaObject::invokeMethod(
            this, [this, serial] { takeBalances(serial); }, Qt::QueuedConnection);
    };
    // A database no second connection reaches, or one in the middle of a
    // transaction that only this connection sees, is read here at once.
    if (path.isEmpty() || connection.inTransaction()) {
        m_balances = ReadPayerBalances(connection, period.year, period.month);
        arrived();
        return;
    }
    m_balanceLoad = std::make_unique<PayerBalancesLoad>(path, period.year, period.month, arrived);
}

void MonthTableModel::waitForBalances()
{
    takeBalances(m_balanceSerial);
}

void MonthTableModel::takeBalances(int serial)
{
    if (serial != m_balanceSerial || m_balancesRead)
        return;
    if (m_balanceLoad) {
        m_balances = m_balanceLoad->take();
        if (m_balanceLoad->error())
            m_balanceError = *m_balanceLoad->error();
        m_balanceLoad.reset();
    }
    m_balancesRead = true;
    placeBalances(0);
    qint64 widest = 0;
    for (const qint64 balance : std::as_const(m_positionBalances)) {
        if (QString::number(balance).size() > QString::number(widest).size())
            widest = balance;
    }
    m_widestBalance = QString::number(widest);
    m_balanceTotal = balanceSum(m_shown);
    if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0, kBalanceColumn), index(int(m_shown.size()) - 1, kBalanceColumn));
    Q_EMIT balancesChanged();
    Q_EMIT totalsChanged();
}

void MonthTableModel::placeBalances(qsizetype from)
{
    if (!m_balanceError.isEmpty())
        return;
    m_positionBalances.resize(m_rows.size());
    m_positionUnknown.resize(m_rows.size());
    for (qsizetype position = from; position < m_rows.size(); ++position) {
        const std::optional<qint64> balance = m_balances.balanceOf(m_rows.payerId(position));
        m_positionBalances[position] = balance.value_or(0);
        m_positionUnknown.setBit(position, !balance);
    }
    // Once every row is read, the balances by payer are no longer needed.
    if (!m_reader)
        m_balances = PayerBalances();
}

std::optional<qint64> MonthTableModel::balanceOfPosition(qsizetype position) const
{
    if (!m_balanceError.isEmpty())
        return std::nullopt;
    // A row whose balance is not read yet owes nothing so far.
    if (position >= m_positionBalances.size())
        return qint64(0);
    if (m_positionUnknown.testBit(position))
        return std::nullopt;
    return m_positionBalances.at(position);
}

std::optional<qint64> MonthTableModel::balanceAt(int row) const
{
    return balanceOfPosition(m_shown.at(row));
}

void MonthTableModel::keepArrears(QVector<int>& positions) const
{
    if (!m_arrearsOnly)
        return;
    positions.removeIf([this](int position) { return balanceOfPosition(position).value_or(0) <= 0; });
}

void MonthTableModel::setArrearsOnly(bool arrearsOnly)
{
    if (arrearsOnly == m_arrearsOnly)
        return;
    if (arrearsOnly)
        waitForBalances();
    m_arrearsOnly = arrearsOnly;
    showAgain(matching(arrearsOnly));
}

} // namespace itm
