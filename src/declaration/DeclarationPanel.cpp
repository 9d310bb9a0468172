#include "declaration/DeclarationPanel.h"

#include "declaration/CalendarDate.h"
#include "declaration/LiquidatorGroup.h"
#include "declaration/LiquidatorValidation.h"
#include "declaration/Period.h"
#include "declaration/SalaryFund.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/StrictNumber.h"
#include "store/Tdm.h"
#include "widgets/DbCheckBox.h"
#include "widgets/DbRadioGroup.h"
#include "widgets/FocusHighlight.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"

#include <QApplication>
#include <QPushButton>

namespace itm {

namespace {
QWidget* makeRateGroup(QWidget* parent)
{
    return new DbRadioGroup(QStringLiteral("[ Procent Comision ]"),
        { QStringLiteral("0.&75%"), QStringLiteral("0.&25%") }, { QStringLiteral("0"), QStringLiteral("1") }, 2,
        parent);
}

const FormCell december2005Cells[] = {
    { .kind = Control::Edit,
        .name = "DBEdit14",
        .caption = "Comision datorat:",
        .column = "comdec",
        .geometry = { .col = 1, .width = 100 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Normal },
    // The one caption of the program with a diacritic.
    { .kind = Control::Edit,
        .name = "DBEdit19",
        .caption = "din care achitat \xEEn luna decembrie:",
        .column = "comdecac",
        .geometry = { .row = 1, .col = 1, .width = 100 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Normal },
};

const FormCell buttonCells[] = {
    { .kind = Control::Button,
        .name = "Button1",
        .caption = "Inregistrare &declaratie",
        .geometry = { .width = 200 },
        .flags = ButtonKeys },
    { .kind = Control::Button,
        .name = "Button2",
        .caption = "A&nulare",
        .geometry = { .width = 200 },
        .flags = ButtonKeys },
};

const FormCell declarationCells[] = {
    { .kind = Control::CheckBox,
        .name = "DBCheckBox1",
        .caption = "declaratie rectificativa",
        .column = "rectificativ",
        .geometry = { .colSpan = 2 },
        .flags = RoadField },
    { .kind = Control::Widget,
        .name = "proccom",
        .column = "com25",
        .geometry = { .row = 1, .width = 222, .colSpan = 2 },
        .flags = RoadField,
        .create = &makeRateGroup },
    { .kind = Control::Edit,
        .name = "nrsal",
        .caption = "Nr. salariati:",
        .column = "nrsal",
        .geometry = { .row = 2, .col = 1, .width = 80 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::Edit,
        .name = "DBEdit12",
        .caption = "Fond lunar de salarii:",
        .column = "fondlunsal",
        .geometry = { .row = 3, .col = 1, .width = 100 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::Edit,
        .name = "DBEdit13",
        .caption = "Comision datorat:",
        .column = "comdat",
        .geometry = { .row = 4, .col = 1, .width = 100 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::Edit,
        .name = "achit",
        .caption = "Din care achitat:",
        .column = "comac",
        .geometry = { .row = 5, .col = 1, .width = 100 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::CheckBox,
        .name = "fal",
        .caption = "Societatea este in faliment",
        .column = "faliment",
        .geometry = { .col = 2 },
        .flags = RoadField,
        .source = 1 /* the payer */ },
    { .kind = Control::Stretch, .geometry = { .col = 2 } },
    { .kind = Control::Label, .caption = "-= RON =-", .geometry = { .col = 2 }, .flags = Bold },
    { .kind = Control::Widget,
        .name = "lgb",
        .geometry = { .row = 1, .col = 2, .rowSpan = 5 },
        .flags = Grow,
        .create = &makeWidget<LiquidatorGroup> },
    { .kind = Control::Group,
        .name = "gbdec2005",
        .caption = "[ Decembrie 2005 ]",
        .geometry = { .row = 1, .col = 2, .rowSpan = 5 },
        .flags = Grow,
        .cells = december2005Cells },
    // The buttons stay at the foot of the panel when the December 2005
    // amounts take the liquidator's place.
    { .kind = Control::Stretch, .geometry = { .row = 6 }, .flags = GrowDown },
    { .kind = Control::Group,
        .geometry = { .row = 7, .width = 440, .colSpan = 3 },
        .create = &makeWidget<ButtonTray>,
        .cells = buttonCells },
    { .kind = Control::Hint, .geometry = { .row = 7 } },
};
} // namespace

DeclarationPanel::DeclarationPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date declaratie ]"), parent)
{
    setObjectName(QStringLiteral("ddgb"));
    setBackground(this, palette().color(QPalette::Button));
    m_form = buildForm(this, declarationCells);
    DBCheckBox1 = m_form.get<DbCheckBox>("DBCheckBox1");
    proccom = m_form.get<DbRadioGroup>("proccom");
    nrsal = m_form.get<DbEdit>("nrsal");
    DBEdit12 = m_form.get<DbEdit>("DBEdit12");
    DBEdit13 = m_form.get<DbEdit>("DBEdit13");
    achit = m_form.get<DbEdit>("achit");
    fal = m_form.get<DbCheckBox>("fal");
    lgb = m_form.get<LiquidatorGroup>("lgb");
    gbdec2005 = m_form.get<QGroupBox>("gbdec2005");
    DBEdit14 = m_form.get<DbEdit>("DBEdit14");
    DBEdit19 = m_form.get<DbEdit>("DBEdit19");
    Button1 = m_form.get<QPushButton>("Button1");
    Button2 = m_form.get<QPushButton>("Button2");

    lgb->setEnabled(false);
    setBackground(gbdec2005, palette().color(QPalette::Button));
    gbdec2005->hide();
}

void DeclarationPanel::attach(Tdm& dm, Actions actions)
{
    m_dm = &dm;
    m_actions = std::move(actions);
    m_form.bindColumns({ dm.sDeclaratii, dm.sFirme });
    lgb->attach(dm);
}

void DeclarationPanel::setClosingTest(std::function<bool()> closing)
{
    m_closing = std::move(closing);
    lgb->setClosingTest([this] { return this->closing(); });
}

bool DeclarationPanel::closing() const
{
    return m_closingItself || (m_closing && m_closing());
}

void DeclarationPanel::wireRoad(Road road)
{
    const RoadKeys fieldKeys { road.moveOn, QStringLiteral("Renuntati la modificari ?"), road.backToPeriod };
    m_form.attachKeys(FieldKeys, fieldKeys, [this, &fieldKeys](QWidget* control, ControlHooks& hooks) {
        if (control->parentWidget() == proccom) {
            hooks.exit = [this](QWidget* button) {
                ClearHighlight(button);
                // Leaving the group as a whole recomputes the commission.
                QWidget* next = QApplication::focusWidget();
                if (!next || next->parentWidget() != proccom)
                    proccomExit();
            };
        } else if (control == fal) {
            hooks.change = [this](QWidget*) { falClick(); };
        } else if (qobject_cast<DbEdit*>(control)) {
            // The amounts.
            hooks.change = [this](QWidget* sender) { nrsalChange(sender); };
        }
        if (control == DBEdit12) {
            RoadKeys fundKeys = fieldKeys;
            fundKeys.enter = [this] { achit->setFocus(Qt::OtherFocusReason); };
            hooks.keyDown = RoadKeyHandler(fundKeys);
            hooks.exit = [this](QWidget*) { DBEdit12Exit(); };
        }
    });
    lgb->wireKeys(fieldKeys);

    m_form.attachKeys(ButtonKeys, { {}, QStringLiteral("Ati finalizat declaratia ?"), road.backToPeriod });
    OnClick(Button1, [this] { Button1Click(); });
    OnClick(Button2, [this] {
        m_closingItself = true;
        runGuarded([this] { Button2Click(); });
        m_closingItself = false;
    });
}

QList<QWidget*> DeclarationPanel::tabOrder() const
{
    return m_form.tabOrder();
}

void DeclarationPanel::showPeriodGroups(bool january2006)
{
    gbdec2005->setVisible(january2006);
    lgb->setVisible(!january2006);
    fal->setVisible(!january2006);
}

void DeclarationPanel::nrsalChange(QWidget* sender)
{
    auto* edit = static_cast<DbEdit*>(sender);
    // Amounts are whole lei: separators are dropped as they are typed.
    QString text = edit->text();
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u',' || text[i] == u'.') {
            text.remove(i, 1);
            edit->setText(text);
            text = edit->text();
        } else {
            ++i;
        }
    }
    const int limit = edit == nrsal ? 5 : 10;
    if (edit->text().size() > limit)
        edit->setText(edit->text().left(limit));
}

void DeclarationPanel::computeCommission()
{
    Dataset& declarations = *m_dm->qryDeclaratii;
    // The fund or the rate can be left after the declaration was given up
    // (the way back ran while a box kept the window inactive).
    if (!declarations.Active())
        return;
    const Field fund = declarations.FieldByName(QStringLiteral("fondlunsal"));
    const bool reduced = declarations.FieldByName(QStringLiteral("com25")).AsInteger() != 0;
    const RuleOutcome outcome = DeclarationCommission(fund.AsFloat(), reduced);
    ApplyWrites(declarations, outcome.writes);
    // A fund without a commission is told to the user - unless the
    // declaration is being dropped, or the focus is already on its way back
    // to the fund.
    if (!outcome.failure || closing() || m_returningToFund)
        return;
    platform().prompts->message(outcome.failure->message);
    m_returningToFund = true;
    QMetaObject::invokeMethod(
        DBEdit12,
        [this] {
            DBEdit12->setFocus(Qt::OtherFocusReason);
            m_returningToFund = false;
        },
        Qt::QueuedConnection);
}

void DeclarationPanel::DBEdit12Exit()
{
    ClearHighlight(DBEdit12);
    computeCommission();
}

void DeclarationPanel::proccomExit()
{
    computeCommission();
}

void DeclarationPanel::falClick()
{
    lgb->setEnabled(fal->checkState() == Qt::Checked);
}

bool DeclarationPanel::applyLiquidatorRules()
{
    Dataset& payers = *m_dm->qryFirme;
    const RuleOutcome outcome
        = ValidateLiquidator(payers, lgb->judl->text(), { lgb->zi->text(), lgb->luna->text(), lgb->an->text() });
    ApplyWrites(payers, outcome.writes);
    if (const auto& failure = outcome.failure) {
        // The sector field opens only when the county is left; a stored
        // county that was never visited must not keep it out of reach.
        if (failure->column == u"lsector")
            lgb->lsec->setEnabled(true);
        platform().prompts->message(failure->message);
        lgb->controlForColumn(failure->column)->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void DeclarationPanel::Button1Click()
{
    Dataset& payers = *m_dm->qryFirme;
    Dataset& declarations = *m_dm->qryDeclaratii;
    payers.UpdateRecord();
    declarations.UpdateRecord();
    // The fund's own exit refuses such a fund too, but only when the fund is
    // left; nothing may store it.
    const Field fund = declarations.FieldByName(QStringLiteral("fondlunsal"));
    const RuleOutcome fundOutcome
        = ValidateSalaryFund(fund.IsNull() ? std::nullopt : std::optional<double>(fund.AsFloat()));
    if (const auto& failure = fundOutcome.failure) {
        platform().prompts->message(failure->message);
        DBEdit12->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!IsJanuary2006(m_actions.month(), m_actions.year())) {
        if (payers.FieldByName(QStringLiteral("faliment")).AsInteger() != 0 || lgb->isEnabled()) {
            if (!applyLiquidatorRules())
                return;
        }
        payers.Post();
        payers.Refresh();
        payers.Locate(QStringLiteral("cui"), m_actions.payerCode(), LocateCaseInsensitive);
        payers.Edit();
    }
    nrsal->setFocus(Qt::OtherFocusReason);
    declarations.Post();
    declarations.Refresh();
    const QVariantList key { payers.FieldByName(QStringLiteral("id")).AsVariant(), StrToInt(m_actions.month()),
        StrToInt(m_actions.year()) };
    if (declarations.Locate(QStringLiteral("idfirma;ln;an"), key, LocateCaseInsensitive)) {
        m_actions.showOutput();
        return;
    }
    platform().prompts->message(QStringLiteral("Eroare fatala.\nProgramul nu mai poate continua."));
    m_actions.fatalEnd();
}

void DeclarationPanel::Button2Click()
{
    m_actions.backToPeriod();
}

} // namespace itm
