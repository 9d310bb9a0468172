#include "app/TDecl.h"

#include "declaration/DeclarationPanel.h"
#include "declaration/LiquidatorGroup.h"
#include "declaration/Period.h"
#include "declaration/PeriodPanel.h"
#include "month/TfSituatieLuna.h"
#include "output/OutputPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "widgets/ControlHooks.h"
#include "widgets/DbCheckBox.h"
#include "widgets/DbEdit.h"
#include "widgets/DbRadioGroup.h"
#include "widgets/FormBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace itm {

TDecl::TDecl(QWidget* parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Decl"));
    setWindowTitle(programTitle());
    setFixedSize(777, 543);
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);

    buildPayerCodePanel();

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, 55, 777, 488);
    setBackground(Panel2, QColor(67, 111, 182));
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 778, 453);

    // Created in the tab order of the client panel: declaration, payer, outputs, period.
    ddgb = new DeclarationPanel(Panel2);
    ddgb->setGeometry(4, 214, 769, 218);
    dcgb = new PayerPanel(Panel2);
    dcgb->setGeometry(4, 2, 769, 178);
    butpan = new OutputPanel(Panel2);
    butpan->setGeometry(4, 436, 769, 40);
    PanelLuna = new PeriodPanel(Panel2);
    PanelLuna->setGeometry(4, 182, 769, 30);

    dcgb->hide();
    PanelLuna->hide();
    PanelLuna->setEnabled(false);
    ddgb->hide();
    butpan->hide();
    butpan->setEnabled(false);

    attachHandlers();
    setTabOrder();
}

TDecl::~TDecl() = default;

void TDecl::buildPayerCodePanel()
{
    pancui = new QFrame(this);
    pancui->setObjectName(QStringLiteral("pancui"));
    pancui->setGeometry(0, 0, 777, 55);
    pancui->setFrameShape(QFrame::Panel);
    pancui->setFrameShadow(QFrame::Raised);
    lblCui = addLabel(pancui, QStringLiteral("&C.U.I./C.N.P.A platitor"), 12, 20, true);
    cui = new TVelaDBAutoCompletitionEdit(pancui);
    cui->setObjectName(QStringLiteral("cui"));
    cui->setGeometry(lblCui->x() + lblCui->width() + 8, 16, 150, 22);
    cui->ListHeight = 20 * 16;
    cui->KeyField = QStringLiteral("id");
    cui->NoValueNoExit = true;
    lblCui->setBuddy(cui);
    leg = addButton(pancui, "leg", QStringLiteral("L&egislatie"), QRect(470, 15, 95, 25));
    aj = addButton(pancui, "aj", QStringLiteral("&Ajutor"), QRect(570, 15, 95, 25));
    sterg = addButton(pancui, "sterg", QStringLiteral("&Sterge"), QRect(670, 15, 95, 25));
    lblF4 = addLabel(pancui, QStringLiteral("F4 - situatia lunii"), cui->x() + cui->width() + 12, 20);
    lblF4->setObjectName(QStringLiteral("lblF4"));
}

void TDecl::attach(Tdm& dm, Dialogs dialogs)
{
    m_dm = &dm;
    m_dialogs = std::move(dialogs);
    cui->setListSource(dm.sFirme);
    cui->setListField(QStringLiteral("cui"));
    dcgb->attach(dm, cui, [this] {
        if (m_dialogs.showNameDialog)
            m_dialogs.showNameDialog();
    });
    PanelLuna->attach(dm,
        { [this] { return cui->text(); }, [this](bool january2006) { ddgb->showPeriodGroups(january2006); },
            [this] {
                PanelLuna->setEnabled(false);
                ddgb->setEnabled(true);
                ddgb->show();
                ddgb->DBCheckBox1->setFocus(Qt::OtherFocusReason);
            },
            [this] { BackToPayerData(); } });
    ddgb->attach(dm,
        { [this] { return cui->text(); }, [this] { return PanelLuna->MaskEdit1->text(); },
            [this] { return PanelLuna->MaskEdit2->text(); }, [this] { showOutputPanel(); },
            [this] {
                // The event loop stops once the handler has returned.
                QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            },
            [this] { BackToPeriod(); } });
}

void TDecl::onClick(QPushButton* button, std::function<void()> handler)
{
    connect(button, &QPushButton::clicked, this, [handler = std::move(handler)] { runGuarded(handler); });
}

void TDecl::attachHandlers()
{
    using namespace std::placeholders;
    auto key = [this](bool (TDecl::*handler)(QWidget*, int)) {
        return [this, handler](QWidget* sender, int code) { return (this->*handler)(sender, code); };
    };
    auto enter = [this](QWidget* control) { denEnter(control); };
    auto exit = [this](QWidget* control) { denExit(control); };

    // The payer code and the buttons of the top panel.
    attachHooks(cui, { key(&TDecl::cuiKeyDown), enter, exit, {} });
    for (QWidget* button : { static_cast<QWidget*>(leg), static_cast<QWidget*>(aj), static_cast<QWidget*>(sterg) })
        attachHooks(button, { key(&TDecl::cuiKeyDown), {}, {}, {} });
    onClick(leg, [this] { legClick(); });
    onClick(aj, [this] { ajClick(); });
    onClick(sterg, [this] { dcgb->stergClick(); });

    // The payer's data.
    for (QWidget* control : dcgb->keyHandlerControls()) {
        ControlHooks hooks { key(&TDecl::denKeyDown), enter, exit, {} };
        if (control == dcgb->jud)
            hooks.exit = [this](QWidget*) { dcgb->judExit(); };
        else if (control == dcgb->loc)
            hooks.exit = [this](QWidget*) { dcgb->locExit(); };
        else if (control == dcgb->sector)
            hooks.change = [this](QWidget*) { dcgb->sectorChange(); };
        else if (control == dcgb->den)
            hooks.enter = hooks.exit = nullptr;
        attachHooks(control, hooks);
    }
    dcgb->setRestoreColour(exit);
    attachHooks(dcgb->Button3, { key(&TDecl::Button3KeyDown), {}, {}, {} });
    attachHooks(dcgb->Button5, { key(&TDecl::Button3KeyDown), {}, {}, {} });
    onClick(dcgb->den, [this] { dcgb->denClick(); });
    onClick(dcgb->Button3, [this] { dcgb->Button3Click(); });
    onClick(dcgb->Button5, [this] { Button5Click(); });

    // The period.
    attachHooks(PanelLuna->MaskEdit1,
        { key(&TDecl::MaskEdit1KeyDown), {}, [this](QWidget*) { PanelLuna->MaskEdit1Exit(); }, {} });
    attachHooks(PanelLuna->MaskEdit2, { key(&TDecl::MaskEdit2KeyDown), {}, {}, {} });

    // The declaration, its rate group (each radio button, as the window's
    // creation hooks them) and the liquidator.
    ddgb->setRestoreColour(exit);
    ddgb->lgb->setRestoreColour(exit);
    ddgb->setClosingTest([this] { return closingDeclarationPanel(); });
    attachHooks(ddgb->DBCheckBox1, { key(&TDecl::DBCheckBox1KeyDown), enter, exit, {} });
    for (QRadioButton* button : ddgb->proccom->buttons()) {
        attachHooks(button,
            { key(&TDecl::DBCheckBox1KeyDown), enter,
                [this](QWidget* control) {
                    denExit(control);
                    // Leaving the group as a whole recomputes the commission.
                    QWidget* next = QApplication::focusWidget();
                    if (!next || next->parentWidget() != ddgb->proccom)
                        ddgb->proccomExit();
                },
                {} });
    }
    for (DbEdit* amount : ddgb->amountFields()) {
        ControlHooks hooks { key(&TDecl::DBCheckBox1KeyDown), enter, exit,
            [this](QWidget* sender) { ddgb->nrsalChange(sender); } };
        if (amount == ddgb->DBEdit12) {
            hooks.keyDown = key(&TDecl::DBEdit12KeyDown);
            hooks.exit = [this](QWidget*) { ddgb->DBEdit12Exit(); };
        }
        attachHooks(amount, hooks);
    }
    attachHooks(ddgb->fal, { key(&TDecl::DBCheckBox1KeyDown), enter, exit, [this](QWidget*) { ddgb->falClick(); } });
    LiquidatorGroup* lgb = ddgb->lgb;
    for (QWidget* control : lgb->tabOrder()) {
        ControlHooks hooks { key(&TDecl::DBCheckBox1KeyDown), enter, exit, {} };
        if (control == lgb->judl)
            hooks.exit = [lgb](QWidget*) { lgb->judlExit(); };
        else if (control == lgb->lsec)
            hooks.change = [lgb](QWidget*) { lgb->lsecChange(); };
        else if (control == lgb->cuil)
            hooks.exit = [lgb](QWidget*) { lgb->cuilExit(); };
        else if (control == lgb->an)
            hooks.exit = [lgb](QWidget*) { lgb->anExit(); };
        attachHooks(control, hooks);
    }
    attachHooks(ddgb->Button1, { key(&TDecl::Button1KeyDown), {}, {}, {} });
    attachHooks(ddgb->Button2, { key(&TDecl::Button1KeyDown), {}, {}, {} });
    onClick(ddgb->Button1, [this] { ddgb->Button1Click(); });
    onClick(ddgb->Button2, [this] {
        m_closingDeclarationPanel = true;
        runGuarded([this] { ddgb->Button2Click(); });
        m_closingDeclarationPanel = false;
    });

    // The outputs.
    attachHooks(butpan->Button4, { key(&TDecl::Button4KeyDown), {}, {}, {} });
    attachHooks(butpan->Button6, { key(&TDecl::Button4KeyDown), {}, {}, {} });
    onClick(butpan->Button4, [this] {
        if (m_dialogs.generateDeclarationFile)
            m_dialogs.generateDeclarationFile();
        else
            butpan->Button4Click();
    });
    onClick(butpan->Button6, [this] {
        if (m_dialogs.printDeclaration)
            m_dialogs.printDeclaration();
        else
            butpan->Button6Click();
    });
}

void TDecl::setTabOrder()
{
    QList<QWidget*> order { leg, aj, cui, sterg };
    order << ddgb->tabOrder() << dcgb->tabOrder() << butpan->Button4 << butpan->Button6 << PanelLuna->MaskEdit1
          << PanelLuna->MaskEdit2;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

TDecl::WindowState TDecl::windowState() const
{
    if (!butpan->isHidden() && butpan->isEnabled())
        return WindowState::Output;
    if (!ddgb->isHidden() && ddgb->isEnabled())
        return WindowState::Declaration;
    if (!PanelLuna->isHidden() && PanelLuna->isEnabled())
        return WindowState::Period;
    if (!dcgb->isHidden() && dcgb->isEnabled())
        return WindowState::PayerData;
    return WindowState::PayerCode;
}

void TDecl::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    runGuarded([this] { FormShow(); });
    leg->setFocus(Qt::OtherFocusReason);
}

void TDecl::FormShow()
{
    // Numbers are read and written with "." whatever the regional settings.
    QLocale::setDefault(QLocale::c());
    QImageReader reader(QStringLiteral("Itm.jpg"));
    const QImage picture = reader.read();
    if (picture.isNull())
        throw Error(reader.errorString());
    Image1->setPixmap(QPixmap::fromImage(picture));
}

void TDecl::legClick()
{
    platform().shell->openDocument(QStringLiteral("./legislatie.txt"));
}

void TDecl::ajClick()
{
    platform().shell->openDocument(QStringLiteral("./instructiuni.txt"));
}

bool TDecl::ask(const QString& question)
{
    return platform().prompts->confirm(question);
}

void TDecl::selectNextControl()
{
    QMetaObject::invokeMethod(
        this, [this] { focusNextPrevChild(true); }, Qt::QueuedConnection);
}

void TDecl::openPayer()
{
    if (!dcgb->openPayerRecord())
        return;
    dcgb->setEnabled(true);
    dcgb->show();
    ddgb->setEnabled(false);
    // The focus goes to the name first, so that disabling the code field does
    // not hand it to a control on the way.
    dcgb->den->setFocus(Qt::OtherFocusReason);
    cui->setEnabled(false);
    sterg->setEnabled(false);
    dcgb->den->setFocus(Qt::OtherFocusReason);
    dcgb->showNameCaption();
}

void TDecl::BackToPayerCode()
{
    cui->setEnabled(true);
    sterg->setEnabled(true);
    cui->setFocus(Qt::OtherFocusReason);
    m_dm->qryFirme->Cancel();
    dcgb->setEnabled(false);
    dcgb->hide();
    // A payer must be validated again before a period can be chosen: otherwise a
    // never-saved payer could reach the declaration and leave it without a payer.
    dcgb->Button5->setEnabled(false);
    cui->setFocus(Qt::OtherFocusReason);
}

void TDecl::BackToPayerData()
{
    PanelLuna->setEnabled(false);
    PanelLuna->hide();
    dcgb->setEnabled(true);
    dcgb->Button5->setEnabled(false);
    dcgb->Button3->setFocus(Qt::OtherFocusReason);
}

void TDecl::BackToPeriod()
{
    m_closingDeclarationPanel = true;
    PanelLuna->setEnabled(true);
    PanelLuna->MaskEdit1->setFocus(Qt::OtherFocusReason);
    ddgb->setEnabled(false);
    butpan->hide();
    ddgb->hide();
    m_dm->qryDeclaratii->Cancel();
    m_dm->qryDeclaratii->Close();
    m_closingDeclarationPanel = false;
}

bool TDecl::closingDeclarationPanel() const
{
    // A field left after the panel was closed (its exit can arrive once a message
    // box has gone) belongs to a closed panel as well.
    return m_closingDeclarationPanel || QApplication::focusWidget() == ddgb->Button2 || !ddgb->isEnabled();
}

void TDecl::Button5Click()
{
    Dataset& payers = *m_dm->qryFirme;
    if (payers.FieldByName(QStringLiteral("cui")).AsString().size() < 2)
        return;
    if (payers.FieldByName(QStringLiteral("denumire")).AsString().isEmpty()) {
        platform().prompts->notice(QStringLiteral("Atentie"), QStringLiteral("Completati denumirea platitorului !!!"));
        return;
    }
    dcgb->setEnabled(false);
    ddgb->setEnabled(true);
    PanelLuna->setEnabled(true);
    PanelLuna->show();
    PanelLuna->presetToday();
    PanelLuna->MaskEdit1->setFocus(Qt::OtherFocusReason);
    dcgb->setEnabled(false);
}

void TDecl::showOutputPanel()
{
    ddgb->setEnabled(false);
    butpan->setEnabled(true);
    butpan->show();
    butpan->Button4->setFocus(Qt::OtherFocusReason);
}

void TDecl::showMonthWorkspace()
{
    const QDate today = platform().clock->today();
    TfSituatieLuna workspace(*m_dm, m_dialogs.driveDialog, this);
    workspace.showMonth(m_lastPeriod.value_or(MonthPeriod { today.month(), today.year() }));
    QPointer<QWidget> focused = QApplication::focusWidget();
    workspace.exec();
    m_lastPeriod = workspace.shownMonth();
    // Without a window manager nobody gives the window the keyboard back; the
    // control keeps its place, so it is no entry.
    activateWindow();
    if (focused)
        focused->setFocus(Qt::ActiveWindowFocusReason);
    if (const auto& code = workspace.chosenPayerCode())
        openPayerAsTyped(*code);
}

void TDecl::openPayerAsTyped(const QString& code)
{
    cui->setFocus(Qt::OtherFocusReason);
    cui->selectAll();
    cui->insert(code);
    // The field's own Enter comes first (it refuses an empty code), then the
    // window's: the payer opens as on the road.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(cui, &enter);
}

bool TDecl::cuiKeyDown(QWidget* sender, int key)
{
    if (key == KeyF4 && windowState() == WindowState::PayerCode) {
        showMonthWorkspace();
        return true;
    }
    if (key == KeyEnter && sender == cui) {
        openPayer();
        return true;
    }
    if (key == KeyEscape) {
        if (ask(QStringLiteral("Parasiti aplicatia ?")))
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return true;
    }
    return false;
}

bool TDecl::denKeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        selectNextControl();
        return true;
    }
    if (key == KeyEscape) {
        if (ask(QStringLiteral("Renuntati la actualizarea datelor ?")))
            BackToPayerCode();
        return true;
    }
    return false;
}

bool TDecl::Button3KeyDown(QWidget*, int key)
{
    if (key == KeyEscape) {
        BackToPayerCode();
        return true;
    }
    return false;
}

bool TDecl::MaskEdit1KeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        selectNextControl();
        return true;
    }
    if (key == KeyEscape) {
        if (ask(QStringLiteral("Ati terminat actualizarea (sau selectati o alta societate) ?")))
            BackToPayerData();
        return true;
    }
    return false;
}

bool TDecl::MaskEdit2KeyDown(QWidget* sender, int key)
{
    if (key == KeyEnter) {
        const PeriodLookup period = CheckPeriod(PanelLuna->MaskEdit1->text(), PanelLuna->MaskEdit2->text());
        if (period.verdict == PeriodLookup::Verdict::Valid)
            m_lastPeriod = MonthPeriod { period.month, period.year };
        PanelLuna->lookUpDeclaration();
        return true;
    }
    return MaskEdit1KeyDown(sender, key);
}

bool TDecl::DBCheckBox1KeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        selectNextControl();
        return true;
    }
    if (key == KeyEscape) {
        if (ask(QStringLiteral("Renuntati la modificari ?")))
            BackToPeriod();
        return true;
    }
    return false;
}

bool TDecl::DBEdit12KeyDown(QWidget* sender, int key)
{
    if (key == KeyEnter) {
        ddgb->achit->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return DBCheckBox1KeyDown(sender, key);
}

bool TDecl::Button1KeyDown(QWidget*, int key)
{
    if (key == KeyEscape) {
        if (ask(QStringLiteral("Ati finalizat declaratia ?")))
            BackToPeriod();
        return true;
    }
    return false;
}

bool TDecl::Button4KeyDown(QWidget*, int key)
{
    if (key == KeyEscape) {
        BackToPeriod();
        return true;
    }
    return false;
}

// Check boxes and radio buttons paint their background in the role the style
// gives buttons, not in the window's role: the colour goes into the role the
// control is actually filled with.
void TDecl::denEnter(QWidget* control)
{
    const QColor highlight = QApplication::palette().color(QPalette::ToolTipBase);
    QPalette palette = control->palette();
    if (qobject_cast<QLineEdit*>(control)) {
        palette.setColor(QPalette::Base, highlight);
    } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
        palette.setColor(control->backgroundRole(), highlight);
        control->setAutoFillBackground(true);
    } else {
        return;
    }
    control->setPalette(palette);
}

void TDecl::denExit(QWidget* control)
{
    QPalette palette = control->palette();
    if (qobject_cast<QLineEdit*>(control)) {
        palette.setColor(QPalette::Base, Qt::white);
    } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
        // The button face again, and the panel showing through as before the
        // control was entered, also once the panel is disabled and greyed.
        palette.setColor(control->backgroundRole(), QApplication::palette().color(QPalette::Button));
        control->setAutoFillBackground(false);
    } else {
        return;
    }
    control->setPalette(palette);
}

} // namespace itm
