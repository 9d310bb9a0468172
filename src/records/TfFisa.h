#pragma once

#include "month/MonthPeriod.h"

#include <QDialog>
#include <QList>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace itm {

class Connection;

// "Fisa platitorului": every declaration of one payer in period order with
// the running balance, the totals of each year, the versions of a month that
// was changed and the balance owed today. Enter on a month closes the window
// and hands that month back, for the road to open its declaration; the
// statement is printed ("Listare") or written to a file ("Export").
class TfFisa : public QDialog
{
    Q_OBJECT
public:
    // Reads the payer's statement; an amount that is no number raises
    // ConversionError before the window shows.
    TfFisa(Connection& connection, qint64 payerId, QWidget* parent = nullptr);
    ~TfFisa() override;

    // The month chosen with Enter, once the window has closed.
    const std::optional<MonthPeriod>& chosenMonth() const { return m_chosen; }

    QLabel* antet;
    QTableWidget* tabel;
    QLabel* sold;
    QPushButton* btnListare;
    QPushButton* btnExport;
    QPushButton* btnInchide;

    void ListareClick();
    void ExportClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void chooseCurrentMonth();

    Connection& m_connection;
    qint64 m_payerId;
    QString m_code;
    QList<std::optional<MonthPeriod>> m_rowMonths; // the month each row opens
    std::optional<MonthPeriod> m_chosen;
};

} // namespace itm
