#pragma once

#include "month/MonthPeriod.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;

namespace itm {

class DeclarationPanel;
class OutputPanel;
class PayerPanel;
class PeriodPanel;
class Tdm;
class TfSelDisck;
class TVelaDBAutoCompletitionEdit;

// The main window: one fixed road of panels (payer code, payer data, period,
// declaration, outputs). It composes the panels, owns the five window states
// and the ways between them; each panel wires its own controls to those ways.
class TDecl : public QWidget
{
    Q_OBJECT
public:
    enum class WindowState
    {
        PayerCode,
        PayerData,
        Period,
        Declaration,
        Output
    };

    explicit TDecl(QWidget* parent = nullptr);
    ~TDecl() override;

    // Binds the controls to the data module, once it exists.
    struct Dialogs
    {
        std::function<void()> showNameDialog;
        // The drive the month workspace writes the month's file to; without
        // it the workspace does not offer that.
        TfSelDisck* driveDialog = nullptr;
        // The register's file: the About box names it, F6 shows its copies.
        QString databasePath;
        // What restores one of the copies in place of the open register (the
        // program closes the register, and this window with it, first);
        // without it F6 does nothing.
        std::function<void(const QString& backupFile)> restoreRegister;
    };
    void attach(Tdm& dm, Dialogs dialogs);

    QFrame* pancui;
    QLabel* lblCui;
    TVelaDBAutoCompletitionEdit* cui;
    QPushButton* leg;
    QPushButton* aj;
    QPushButton* sterg;
    QLabel* lblF4;
    QLabel* lblF1;
    QLabel* lblF6;
    QWidget* Panel2;
    QLabel* Image1;
    PayerPanel* dcgb;
    PeriodPanel* PanelLuna;
    DeclarationPanel* ddgb;
    OutputPanel* butpan;

    WindowState windowState() const;

    void BackToPayerCode();
    void BackToPayerData();
    void BackToPeriod();

    void FormShow();
    void legClick();
    void ajClick();
    // Shift+F1: "Despre", the version, the database and its backups folder.
    void showAbout();
    void openPayer();
    void Button5Click();
    void showOutputPanel();
    // F4 in the payer-code state: "Situatia declaratiilor pe luna", preset to
    // the period last used; a payer chosen there is opened as if its code had
    // been typed into cui and Enter pressed.
    void showMonthWorkspace();
    void openPayerAsTyped(const QString& code);
    // F5 in the payer-data state: "Fisa platitorului"; a month chosen there
    // is opened on the road.
    void showStatement();
    // From the payer's data, as "Declaratie lunara" and the period panel
    // would: the payer validated, the period set and its declaration looked
    // up (with the road's questions).
    void openMonthOnRoad(const MonthPeriod& period);
    // F6 in the output state: the next payer without a declaration for the
    // same month, opened on the road with that month.
    void openNextPayer();
    // F6 in the payer-code state: "Copii de siguranta"; a copy chosen there
    // for restoring is handed to Dialogs::restoreRegister once it has closed.
    void showBackups();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void wirePanels();
    // The keys of the payer code and of the top panel's buttons.
    bool cuiKeyDown(QWidget* sender, int key);
    // The period last entered, for the month workspace to start from.
    void rememberPeriod();
    void setTabOrder();
    // Enter moves on as Tab does, once the key has been handled.
    void selectNextControl();
    bool closingDeclarationPanel() const;

    Tdm* m_dm = nullptr;
    Dialogs m_dialogs;
    bool m_shownOnce = false;
    bool m_closingDeclarationPanel = false;
    std::optional<MonthPeriod> m_lastPeriod; // since the program started
    // The month window's order of payers, while the payer on the road came
    // from it (F6 goes on in that order).
    std::optional<QStringList> m_monthWindowOrder;
    bool m_keepMonthWindowOrder = false;
};

} // namespace itm
