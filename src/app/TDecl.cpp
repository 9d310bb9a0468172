#include "app/TDecl.h"

#include "app/ColleagueRefresh.h"
#include "app/TfCopii.h"
#include "backup/BackupNames.h"
#include "declaration/DeclarationPanel.h"
#include "declaration/Period.h"
#include "declaration/PeriodPanel.h"
#include "month/TfSituatieLuna.h"
#include "output/OutputPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/ProgramVersion.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "records/NextPayer.h"
#include "records/TfFisa.h"
#include "store/Errors.h"
#include "store/ServerConnection.h"
#include "store/Tdm.h"
#include "widgets/ControlHooks.h"
#include "widgets/DbCheckBox.h"
#include "widgets/FocusHighlight.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>

namespace itm {

namespace {

const FormCell payerCodeCells[] = {
    { .kind = Control::Widget,
        .name = "cui",
        .caption = "&C.U.I./C.N.P.A platitor",
        .geometry = { .width = 150 },
        .flags = Bold | GrowDown,
        .create = &makeWidget<TVelaDBAutoCompletitionEdit> },
    { .kind = Control::Label, .name = "lblF4", .caption = "F4 - situatia lunii", .flags = Apart },
    { .kind = Control::Label, .name = "lblF6", .caption = "F6 - copii", .flags = Apart },
    { .kind = Control::Stretch },
    { .kind = Control::Button, .name = "leg", .caption = "L&egislatie", .geometry = { .width = 95 } },
    { .kind = Control::Button, .name = "aj", .caption = "&Ajutor", .geometry = { .width = 95 } },
    { .kind = Control::Button, .name = "sterg", .caption = "&Sterge", .geometry = { .width = 95 } },
};

// Created in the tab order of the client panel: declaration, payer, outputs,
// period; shown top to bottom as payer, period, declaration, outputs.
const FormCell roadCells[] = {
    { .kind = Control::Widget,
        .name = "ddgb",
        .geometry = { .row = 2 },
        .flags = Grow,
        .create = &makeWidget<DeclarationPanel> },
    { .kind = Control::Widget, .name = "dcgb", .flags = Grow, .create = &makeWidget<PayerPanel> },
    { .kind = Control::Widget,
        .name = "butpan",
        .geometry = { .row = 3 },
        .flags = Grow,
        .create = &makeWidget<OutputPanel> },
    { .kind = Control::Widget,
        .name = "PanelLuna",
        .geometry = { .row = 1 },
        .flags = Grow,
        .create = &makeWidget<PeriodPanel> },
};

const FormCell windowCells[] = {
    { .kind = Control::Group, .name = "pancui", .flags = Grow, .create = &makeWidget<QFrame>, .cells = payerCodeCells },
    { .kind = Control::Group,
        .name = "Panel2",
        .geometry = { .row = 1 },
        .flags = Grow | GrowDown,
        .create = &makeWidget<QWidget>,
        .cells = roadCells },
};

} // namespace

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

    const FormControls form = buildForm(this, windowCells, Flush);
    pancui = form.get<QFrame>("pancui");
    pancui->setFrameShape(QFrame::Panel);
    pancui->setFrameShadow(QFrame::Raised);
    pancui->setFixedHeight(55);
    cui = form.get<TVelaDBAutoCompletitionEdit>("cui");
    lblCui = form.labelOf("cui");
    lblF4 = form.get<QLabel>("lblF4");
    lblF6 = form.get<QLabel>("lblF6");
    leg = form.get<QPushButton>("leg");
    aj = form.get<QPushButton>("aj");
    sterg = form.get<QPushButton>("sterg");
    cui->ListHeight = 20 * 16;
    cui->KeyField = QStringLiteral("id");
    cui->NoValueNoExit = true;

    Panel2 = form.get<QWidget>("Panel2");
    setBackground(Panel2, QColor(67, 111, 182));
    ddgb = form.get<DeclarationPanel>("ddgb");
    dcgb = form.get<PayerPanel>("dcgb");
    butpan = form.get<OutputPanel>("butpan");
    PanelLuna = form.get<PeriodPanel>("PanelLuna");
    // A panel not yet reached keeps its place on the road, the picture
    // showing through; and a panel keeps its height whichever of its groups
    // the period shows.
    for (QWidget* panel : std::initializer_list<QWidget*> { dcgb, PanelLuna, ddgb, butpan }) {
        QSizePolicy policy = panel->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        panel->setSizePolicy(policy);
        panel->setFixedHeight(panel->sizeHint().height());
    }
    // The picture is the backdrop of the road, behind the panels.
    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 778, 453);
    // The keys of the whole window, on the strip below the picture; a panel
    // shown there covers them.
    lblF1 = new QLabel(QStringLiteral("F1 - ajutor    Shift+F1 - despre"), Panel2);
    lblF1->setObjectName(QStringLiteral("lblF1"));
    lblF1->setGeometry(8, 458, 761, 24);
    lblF1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblF1->setStyleSheet(QStringLiteral("color: white"));
    lblF1->lower();
    Image1->lower();

    dcgb->hide();
    PanelLuna->hide();
    PanelLuna->setEnabled(false);
    ddgb->hide();
    butpan->hide();
    butpan->setEnabled(false);

    wirePanels();
    setTabOrder();
    // F6 is no key of the road's controls: the window takes it, in the
    // payer-code state for the backups, in the output state for the next payer.
    auto* backupsKey = new QShortcut(QKeySequence(Qt::Key_F6), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(backupsKey, &QShortcut::activated, this, [this] {
        if (windowState() == WindowState::PayerCode)
            runGuarded([this] { showBackups(); });
        else if (windowState() == WindowState::Output)
            runGuarded([this] { openNextPayer(); });
    });
    auto* statementKey = new QShortcut(QKeySequence(Qt::Key_F5), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(statementKey, &QShortcut::activated, this, [this] {
        if (windowState() == WindowState::PayerData)
            runGuarded([this] { showStatement(); });
    });
}

TDecl::~TDecl() = default;

void TDecl::attach(Tdm& dm, Dialogs dialogs)
{
    m_dm = &dm;
    // Only a server register has colleagues saving into it at the same time.
    if (!dm.con.handle())
        new ColleagueRefresh(dm, this);
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

void TDecl::wirePanels()
{
    auto moveOn = [this] { selectNextControl(); };
    const auto topKeys = [this](QWidget* sender, int key) { return cuiKeyDown(sender, key); };

    // The payer code and the buttons of the top panel.
    attachHooks(cui,
        { topKeys, [](QWidget* control) { HighlightControl(control); },
            [](QWidget* control) { ClearHighlight(control); }, {} });
    for (QWidget* button : { leg, aj, sterg })
        attachHooks(button, { topKeys, {}, {}, {} });
    OnClick(leg, [this] { legClick(); });
    OnClick(aj, [this] { ajClick(); });
    OnClick(sterg, [this] { dcgb->stergClick(); });
    // Anywhere in the window: the help text, as users expect of F1, and the
    // About box.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { runGuarded([this] { ajClick(); }); });
    auto* about = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, [this] { runGuarded([this] { showAbout(); }); });

    dcgb->wireRoad({ moveOn, [this] { BackToPayerCode(); }, [this] { Button5Click(); } });
    PanelLuna->wireRoad({ moveOn, [this] { BackToPayerData(); }, [this] { rememberPeriod(); } });
    ddgb->setClosingTest([this] { return closingDeclarationPanel(); });
    ddgb->wireRoad({ moveOn, [this] { BackToPeriod(); } });
    butpan->wireRoad([this] { BackToPeriod(); });
}

void TDecl::setTabOrder()
{
    QList<QWidget*> order { leg, aj, cui, sterg };
    order << ddgb->tabOrder() << dcgb->tabOrder() << butpan->tabOrder() << PanelLuna->tabOrder();
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

void TDecl::showAbout()
{
    if (IsServerConnection(m_dialogs.databasePath)) {
        platform().prompts->notice(QStringLiteral("Despre"),
            QStringLiteral("ITM Declaratie, versiunea %1\n\nRegistrul: pe server, %2\nCopii de siguranta: "
                           "itm-cli backup\n\nF1 - instructiuni de folosire")
                .arg(programVersion(), ServerForDisplay(m_dialogs.databasePath)));
        return;
    }
    const QString database = QFileInfo(m_dialogs.databasePath).absoluteFilePath();
    platform().prompts->notice(QStringLiteral("Despre"),
        QStringLiteral("ITM Declaratie, versiunea %1\n\nBaza de date: %2\nCopii de siguranta: %3\n\n"
                       "F1 - instructiuni de folosire")
            .arg(programVersion(), QDir::toNativeSeparators(database),
                QDir::toNativeSeparators(BackupFolder(database))));
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
    // A payer chosen by its code no longer follows the month window's order.
    if (!m_keepMonthWindowOrder)
        m_monthWindowOrder.reset();
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
    // Declarations are made for the month just ended.
    workspace.showMonth(m_lastPeriod.value_or(PreviousMonth({ today.month(), today.year() })));
    QPointer<QWidget> focused = QApplication::focusWidget();
    workspace.exec();
    m_lastPeriod = workspace.shownMonth();
    // Without a window manager nobody gives the window the keyboard back; the
    // control keeps its place, so it is no entry.
    activateWindow();
    if (focused)
        focused->setFocus(Qt::ActiveWindowFocusReason);
    if (const auto& code = workspace.chosenPayerCode()) {
        openPayerAsTyped(*code);
        m_monthWindowOrder = workspace.payerOrder();
        if (const auto& month = workspace.chosenMonth())
            openMonthOnRoad(*month);
    }
}

void TDecl::showStatement()
{
    Dataset& payers = *m_dm->qryFirme;
    if (payers.State() == DatasetState::Insert) {
        platform().prompts->message(QStringLiteral("Platitorul nu este inca salvat: nu are declaratii."));
        return;
    }
    QPointer<QWidget> focused = QApplication::focusWidget();
    TfFisa statement(m_dm->con, payers.FieldByName(QStringLiteral("id")).AsInteger(), this);
    statement.exec();
    activateWindow();
    if (focused)
        focused->setFocus(Qt::ActiveWindowFocusReason);
    if (const auto& month = statement.chosenMonth())
        openMonthOnRoad(*month);
}

void TDecl::openMonthOnRoad(const MonthPeriod& period)
{
    if (windowState() != WindowState::PayerData)
        return;
    if (!dcgb->Button5->isEnabled()) {
        // A rule that refuses the payer says why and keeps it on its field.
        dcgb->Button3Click();
        if (!dcgb->Button5->isEnabled())
            return;
    }
    Button5Click();
    if (windowState() != WindowState::Period)
        return;
    PanelLuna->MaskEdit1->setText(QStringLiteral("%1").arg(period.month, 2, 10, QLatin1Char('0')));
    PanelLuna->MaskEdit2->setText(QString::number(period.year));
    PanelLuna->MaskEdit2->setFocus(Qt::OtherFocusReason);
    rememberPeriod();
    PanelLuna->lookUpDeclaration();
}

void TDecl::openNextPayer()
{
    const PeriodLookup period = CheckPeriod(PanelLuna->MaskEdit1->text(), PanelLuna->MaskEdit2->text());
    if (period.verdict != PeriodLookup::Verdict::Valid)
        return;
    const MonthPeriod month { period.month, period.year };
    const auto next = NextPayerWithoutDeclaration(m_dm->con, month, cui->text(), m_monthWindowOrder);
    if (!next) {
        platform().prompts->message(
            QStringLiteral("Nu mai sunt platitori fara declaratie pentru %1.").arg(MonthTitle(month)));
        return;
    }
    // Back along the road to the payer code, keeping the month window's order.
    {
        m_keepMonthWindowOrder = true;
        const auto keepNoMore = qScopeGuard([this] { m_keepMonthWindowOrder = false; });
        BackToPeriod();
        BackToPayerData();
        BackToPayerCode();
    }
    openPayerAsTyped(*next);
    openMonthOnRoad(month);
}

void TDecl::showBackups()
{
    if (!m_dialogs.restoreRegister)
        return;
    // A server's register is copied and put back by whoever keeps the server.
    if (IsServerConnection(m_dialogs.databasePath)) {
        platform().prompts->message(
            QStringLiteral("Registrul este pe server: copiile lui se fac cu itm-cli backup, iar un registru se aduce "
                           "inapoi pe server cu itm-cli server copy."));
        return;
    }
    TfCopii backups(m_dialogs.databasePath, this);
    QPointer<QWidget> focused = QApplication::focusWidget();
    backups.exec();
    // Without a window manager nobody gives the window the keyboard back.
    activateWindow();
    if (focused)
        focused->setFocus(Qt::ActiveWindowFocusReason);
    if (const auto& chosen = backups.chosenRestore())
        m_dialogs.restoreRegister(*chosen);
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
        if (platform().prompts->confirm(QStringLiteral("Parasiti aplicatia ?")))
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void TDecl::rememberPeriod()
{
    const PeriodLookup period = CheckPeriod(PanelLuna->MaskEdit1->text(), PanelLuna->MaskEdit2->text());
    if (period.verdict == PeriodLookup::Verdict::Valid)
        m_lastPeriod = MonthPeriod { period.month, period.year };
}

} // namespace itm
