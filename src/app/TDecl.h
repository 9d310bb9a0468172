#pragma once

#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace itm {

class DeclarationPanel;
class OutputPanel;
class PayerPanel;
class PeriodPanel;
class Tdm;
class TVelaDBAutoCompletitionEdit;

// The main window: one fixed road of panels (payer code, payer data, period,
// declaration, outputs). It composes the panels, owns the five window states
// and the ways back, and attaches every control's key and focus handlers.
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
        // "&Generare discheta I.T.M." and "&Listare declaratie I.T.M."; the output
        // panel's own commands when not set.
        std::function<void()> generateDeclarationFile;
        std::function<void()> printDeclaration;
    };
    void attach(Tdm& dm, Dialogs dialogs);

    QFrame* pancui;
    QLabel* lblCui;
    TVelaDBAutoCompletitionEdit* cui;
    QPushButton* leg;
    QPushButton* aj;
    QPushButton* sterg;
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
    void openPayer();
    void Button5Click();
    void showOutputPanel();

    bool cuiKeyDown(QWidget* sender, int key);
    bool denKeyDown(QWidget* sender, int key);
    bool Button3KeyDown(QWidget* sender, int key);
    bool MaskEdit1KeyDown(QWidget* sender, int key);
    bool MaskEdit2KeyDown(QWidget* sender, int key);
    bool DBCheckBox1KeyDown(QWidget* sender, int key);
    bool DBEdit12KeyDown(QWidget* sender, int key);
    bool Button1KeyDown(QWidget* sender, int key);
    bool Button4KeyDown(QWidget* sender, int key);
    void denEnter(QWidget* control);
    void denExit(QWidget* control);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPayerCodePanel();
    void attachHandlers();
    void setTabOrder();
    // Enter moves on as Tab does, once the key has been handled.
    void selectNextControl();
    bool ask(const QString& question);
    bool closingDeclarationPanel() const;
    void onClick(QPushButton* button, std::function<void()> handler);

    Tdm* m_dm = nullptr;
    Dialogs m_dialogs;
    bool m_shownOnce = false;
    bool m_closingDeclarationPanel = false;
};

} // namespace itm
