#pragma once

#include "month/MonthColumns.h"
#include "month/MonthFilter.h"
#include "month/MonthListing.h"
#include "month/MonthPayerTable.h"
#include "records/PayerBalance.h"

#include <QAbstractTableModel>
#include <QSet>
#include <memory>

namespace itm {

class Connection;

// The table of the month window over the month listing: every payer of the
// register, read from the store a slice at a time (the first screen at once,
// the rest while the user looks at it), shown through the filter and in the
// chosen column order. One row of the model is one payer; no widget per row.
// The marks belong to the payers (by id), not to the rows: they stay through
// filtering, sorting and reading the month again.
class MonthTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit MonthTableModel(QObject* parent = nullptr);
    ~MonthTableModel() override;

    // Starts reading the month; the first slice is read at once. The filter
    // and the order stay as they were.
    void open(Connection& connection, const MonthPeriod& period, int firstSlice);
    // Shows another month of the register read: only the month's
    // declarations are read, and the payers of savedPayers (saved by a
    // colleague since the register was read: added, changed or deleted).
    // declarationsOf: the month is the one shown, and only the declarations
    // of those payers (and of savedPayers) are read again. Reads the month
    // from the start while the register is still being read.
    void changeMonth(Connection& connection, const MonthPeriod& period, int firstSlice,
        const QSet<qint64>& savedPayers = {}, const std::optional<QSet<qint64>>& declarationsOf = std::nullopt);
    // Reads the next slice; false once the whole register has been read.
    bool loadMore(int count);
    void finishLoading();
    bool loading() const { return m_reader != nullptr; }

    void setFilter(const MonthFilter& filter);
    const MonthFilter& filter() const { return m_filter; }

    // The column after the month's own: each payer's balance up to and
    // including the month shown (all commission due less all paid), read in
    // a thread of its own while the window is in use.
    static constexpr int kBalanceColumn = kMonthColumnCount;
    bool balancesRead() const { return m_balancesRead; }
    // SQLite's message when the balances could not be read.
    const QString& balanceError() const { return m_balanceError; }
    // Waits for the balances of the month shown.
    void waitForBalances();
    std::optional<qint64> balanceAt(int row) const;
    // Only the payers whose balance is above 0 ("cu restante"), through the
    // filter; waits for the balances.
    void setArrearsOnly(bool arrearsOnly);
    bool arrearsOnly() const { return m_arrearsOnly; }
    // The sum of the balances of the rows shown, once they are read.
    qint64 balanceTotal() const { return m_balanceTotal; }
    QString widestBalanceText() const { return m_widestBalance; }
    // The longest code and county name among the rows read.
    QString widestCode() const { return m_widestCode; }
    QString widestCounty() const;

    // The payer a row shows, built from what is held.
    MonthRow payerAt(int row) const { return m_rows.at(m_shown.at(row)); }
    // The row that shows the payer, or -1.
    int rowOfPayer(qint64 payerId) const;
    bool isMarked(int row) const { return m_marked.contains(m_rows.payerId(m_shown.at(row))); }
    void toggleMark(int row);
    // The marks become before with the rows from..to (either order) added:
    // a range marked with Shift joins the marks made before it.
    void markRange(const QSet<qint64>& before, int from, int to);
    const QSet<qint64>& marks() const { return m_marked; }
    // The marked payers among the rows read, in payer-code order, whether the
    // filter shows them or not.
    QList<qint64> markedPayers() const;

    // The longest text of a column among the rows read (amounts: as wide as
    // the largest value).
    QString widestText(MonthColumn column) const { return m_widest.value(int(column)); }
    // The rows read whose declaration holds an amount that could not be read.
    QVector<MonthRow> faultyPayers() const;

    // Totals of the rows shown.
    const MonthTotals& totals() const { return m_totals; }
    MonthColumn sortColumn() const { return m_sortColumn; }
    bool sortedDescending() const { return m_descending; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Reads the rest of the register first, unless the order is the one rows
    // arrive in.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

Q_SIGNALS:
    void totalsChanged();
    void loadingFinished();
    void balancesChanged();

private:
    bool inArrivalOrder() const { return m_sortColumn == MonthColumn::Code && !m_descending; }
    void appendRead(qsizetype firstNew);
    void noteWidest(qsizetype firstNew);
    void showAgain(QVector<int> shown);
    void noteTotals(const QVector<int>& positions);
    void applySort();
    void marksChanged(int first, int last);
    void startBalances(Connection& connection, const MonthPeriod& period);
    void takeBalances(int serial);
    void keepArrears(QVector<int>& positions) const;
    // The rows the filter lets through, from those shown when it narrows.
    QVector<int> matching(bool narrower) const;
    std::optional<qint64> balanceOfPosition(qsizetype position) const;
    // Takes the balances of the rows read from position from on.
    void placeBalances(qsizetype from);
    qint64 balanceSum(const QVector<int>& positions) const;

    MonthPayerTable m_rows; // payer-code order
    QVector<int> m_shown; // positions in m_rows, in the order shown
    // Every position of m_rows in the chosen order, once the whole register
    // is read and the order is not the one rows arrive in: a wider filter
    // picks its rows from it instead of sorting the register again.
    QVector<int> m_order;
    QSet<qint64> m_marked; // payer ids
    QVector<QString> m_widest = QVector<QString>(kMonthColumnCount);
    std::unique_ptr<MonthListingReader> m_reader;
    MonthFilter m_filter;
    MonthTotals m_totals;
    MonthColumn m_sortColumn = MonthColumn::Code;
    bool m_descending = false;
    std::unique_ptr<PayerBalancesLoad> m_balanceLoad;
    int m_balanceSerial = 0;
    PayerBalances m_balances; // by payer id, until every row is read
    // Each row's balance by its position in m_rows (0 when unknown), once
    // read: a total over the rows shown reads it straight on.
    QVector<qint64> m_positionBalances;
    QBitArray m_positionUnknown;
    bool m_balancesRead = false;
    QString m_balanceError; // SQLite's message: no balance is known
    bool m_arrearsOnly = false;
    qint64 m_balanceTotal = 0;
    QString m_widestBalance;
    QString m_widestCode;
};

} // namespace itm
