#pragma once

#include "month/MonthColumns.h"
#include "month/MonthFilter.h"
#include "month/MonthListing.h"

#include <QAbstractTableModel>
#include <memory>

namespace itm {

class Connection;

// The table of the month window over the month listing: every payer of the
// register, read from the store a slice at a time (the first screen at once,
// the rest while the user looks at it), shown through the filter and in the
// chosen column order. One row of the model is one payer; no widget per row.
class MonthTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit MonthTableModel(QObject* parent = nullptr);
    ~MonthTableModel() override;

    // Starts reading the month; the first slice is read at once. The filter
    // and the order stay as they were.
    void open(Connection& connection, const MonthPeriod& period, int firstSlice);
    // Reads the next slice; false once the whole register has been read.
    bool loadMore(int count);
    void finishLoading();
    bool loading() const { return m_reader != nullptr; }

    void setFilter(const MonthFilter& filter);
    const MonthFilter& filter() const { return m_filter; }

    const MonthRow& payerAt(int row) const { return m_rows.at(m_shown.at(row)); }
    // The row that shows the payer, or -1.
    int rowOfPayer(qint64 payerId) const;
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

private:
    bool inArrivalOrder() const { return m_sortColumn == MonthColumn::Code && !m_descending; }
    void appendRead(qsizetype firstNew);
    void showAgain(QVector<int> shown);
    void applySort();

    QVector<MonthRow> m_rows; // payer-code order
    QVector<int> m_shown; // positions in m_rows, in the order shown
    std::unique_ptr<MonthListingReader> m_reader;
    MonthFilter m_filter;
    MonthTotals m_totals;
    MonthColumn m_sortColumn = MonthColumn::Code;
    bool m_descending = false;
};

} // namespace itm
