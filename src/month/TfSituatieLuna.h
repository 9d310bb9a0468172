#pragma once

#include "month/MonthPeriod.h"

#include <QDialog>
#include <QSet>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace itm {

class MonthTableModel;
class MonthTableView;
class Tdm;
class TfSelDisck;

// "Situatia declaratiilor pe luna": every payer of the register for one month,
// declared ("Initiala", "Rectificativa") or not ("Lipsa"), with the amounts and
// the totals; the month carried over from the one before, written to a drive
// and printed at once. Enter on a payer closes the window and hands the
// payer's code back to the main window's road.
class TfSituatieLuna : public QDialog
{
    Q_OBJECT
public:
    // Without a drive dialog the month is not written to a drive.
    TfSituatieLuna(Tdm& dm, TfSelDisck* driveDialog, QWidget* parent = nullptr);
    ~TfSituatieLuna() override;

    // Shows the month in the period fields and in the table.
    void showMonth(const MonthPeriod& period);
    const MonthPeriod& shownMonth() const { return m_shown; }
    // The code of the payer chosen with Enter, once the window has closed.
    const std::optional<QString>& chosenPayerCode() const { return m_chosenCode; }
    // The month chosen in the payer's statement (F5), to open on the road.
    const std::optional<MonthPeriod>& chosenMonth() const { return m_chosenMonth; }
    // The codes of the payers in the order the table showed them when a
    // payer was chosen, so that the road can go on to the next one; none
    // while the register was still being read, in payer-code order.
    const std::optional<QStringList>& payerOrder() const { return m_payerOrder; }
    // Reads the month again after a colleague's save, keeping the current
    // payer, the filter, the order and the marks: the payers saved and the
    // declarations of the payers whose declarations were saved (the whole
    // register, or all the month's declarations, when not known which).
    void showColleaguesSaves(
        const std::optional<QSet<qint64>>& savedPayers, const std::optional<QSet<qint64>>& declarationsOf)
    {
        reload(savedPayers, declarationsOf);
    }

    QLineEdit* luna;
    QLineEdit* anul;
    QLabel* lblLuna; // the month the table shows
    QLineEdit* filtru;
    QComboBox* afisare;
    MonthTableView* tabel;
    QLabel* totaluri;
    QPushButton* btnPreia;
    QPushButton* btnDischeta;
    QPushButton* btnListare;
    QPushButton* btnImport;
    QPushButton* btnExport;
    QPushButton* btnInchide;

    MonthTableModel* model() const { return m_model; }

    void PreiaClick();
    void DischetaClick();
    void ListareClick();
    void ImportClick();
    void ExportClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Another month of the register read shown: only its declarations are
    // read (those of declarationsOf, when given), and the payers saved since
    // the register was read.
    void showMonth(const MonthPeriod& period, const std::optional<QSet<qint64>>& savedPayers,
        const std::optional<QSet<qint64>>& declarationsOf = std::nullopt);
    void buildWindow();
    void attachKeys();
    void anulEnter();
    void applyFilter();
    void openCurrentPayer();
    // F5: the current payer's statement.
    void showStatement();
    void loadSlice();
    void showTotals();
    void fitAmountColumns();
    // Once per month shown: which payers' declarations hold an amount that
    // could not be read.
    void reportFaults();
    // Reads the month again after a change, keeping the current payer: the
    // whole register, or the payers saved since it was read and the month's
    // declarations.
    void reload(const std::optional<QSet<qint64>>& savedPayers = std::nullopt,
        const std::optional<QSet<qint64>>& declarationsOf = std::nullopt);
    QList<qint64> payersToCarryOver() const;

    Tdm& m_dm;
    TfSelDisck* m_driveDialog;
    MonthTableModel* m_model;
    QTimer* m_loadTimer;
    MonthPeriod m_shown;
    std::optional<QString> m_chosenCode;
    std::optional<MonthPeriod> m_chosenMonth;
    std::optional<QStringList> m_payerOrder;
    std::optional<MonthPeriod> m_faultsReportedFor;
};

} // namespace itm
