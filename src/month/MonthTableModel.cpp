#include "month/MonthTableModel.h"

#include "month/MonthColumns.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <numeric>

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
    m_totals = MonthTotals();
    try {
        m_reader = std::make_unique<MonthListingReader>(connection, period);
        if (!m_reader->readMore(m_rows, firstSlice))
            m_reader.reset();
    } catch (...) {
        m_reader.reset();
        endResetModel();
        throw;
    }
    AppendMatching(m_shown, m_rows, 0, m_filter);
    for (const int position : std::as_const(m_shown))
        m_totals.add(m_rows.at(position));
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

void MonthTableModel::noteWidest(qsizetype firstNew)
{
    for (qsizetype i = firstNew; i < m_rows.size(); ++i) {
        const MonthRow& row = m_rows.at(i);
        if (!row.declared())
            continue;
        for (int column = int(MonthColumn::Employees); column < kMonthColumnCount; ++column) {
            const QString text = MonthCellText(row, MonthColumn(column));
            if (text.size() > m_widest.at(column).size())
                m_widest[column] = text;
        }
    }
}

void MonthTableModel::appendRead(qsizetype firstNew)
{
    noteWidest(firstNew);
    // Rows arrive in payer-code order, the order shown while they arrive.
    QVector<int> added;
    AppendMatching(added, m_rows, firstNew, m_filter);
    if (!added.isEmpty()) {
        beginInsertRows(QModelIndex(), int(m_shown.size()), int(m_shown.size() + added.size()) - 1);
        m_shown += added;
        for (const int position : std::as_const(added))
            m_totals.add(m_rows.at(position));
        endInsertRows();
    }
    Q_EMIT totalsChanged();
}

void MonthTableModel::setFilter(const MonthFilter& filter)
{
    const bool narrower = filter.narrows(m_filter);
    m_filter = filter;
    QVector<int> shown;
    if (narrower) {
        shown = NarrowedRows(m_shown, m_rows, m_filter);
    } else if (inArrivalOrder()) {
        AppendMatching(shown, m_rows, 0, m_filter);
    } else {
        // The register stays sorted: a wider filter costs one pass over it.
        shown = NarrowedRows(m_order, m_rows, m_filter);
    }
    showAgain(std::move(shown));
}

void MonthTableModel::showAgain(QVector<int> shown)
{
    beginResetModel();
    m_shown = std::move(shown);
    m_totals = MonthTotals();
    for (const int position : std::as_const(m_shown))
        m_totals.add(m_rows.at(position));
    endResetModel();
    Q_EMIT totalsChanged();
}

void MonthTableModel::toggleMark(int row)
{
    const qint64 payerId = payerAt(row).payerId;
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
        m_marked.insert(payerAt(row).payerId);
    // A range made shorter gives its rows back as they were before it.
    marksChanged(0, int(m_shown.size()) - 1);
}

QList<qint64> MonthTableModel::markedPayers() const
{
    QList<qint64> ids;
    if (m_marked.isEmpty())
        return ids;
    for (const MonthRow& row : m_rows) {
        if (m_marked.contains(row.payerId))
            ids.append(row.payerId);
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
        if (m_rows.at(m_shown.at(row)).payerId == payerId)
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
    return parent.isValid() ? 0 : kMonthColumnCount;
}

QVariant MonthTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return QVariant();
    const MonthRow& row = payerAt(index.row());
    const auto column = MonthColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return MonthCellText(row, column);
    case Qt::TextAlignmentRole:
        return IsAmountColumn(column) ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
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

} // namespace itm
