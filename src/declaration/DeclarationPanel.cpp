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
#include <QRadioButton>

namespace itm {

namespace {
QWidget* makeRateGroup(QWidget* parent)
{
    return new DbRadioGroup(QStringLiteral("[ Procent Comision ]"),
        { QStringLiteral("0.&75%"), QStringLiteral("0.&25%") }, { QStringLiteral("0"), QStringLiteral("1") }, 2,
        parent);
}

const FormCell december2005Cells[] = {
    edit("DBEdit14", "Comision datorat:", "comdec", 0, 1, 100, LabelApart, CharCase::Normal),
    // The one caption of the program with a diacritic.
    edit("DBEdit19", "din care achitat \xEEn luna decembrie:", "comdecac", 1, 1, 100, LabelApart, CharCase::Normal),
};

const FormCell buttonCells[] = {
    button("Button1", "Inregistrare &declaratie", 0, 0, 200),
    button("Button2", "A&nulare", 0, 0, 200),
};

const FormCell declarationCells[] = {
    spanning(checkBox("DBCheckBox1", "declaratie rectificativa", "rectificativ", 0, 0), 1, 2),
    spanning(widget("proccom", nullptr, &makeRateGroup, 1, 0, 222), 1, 2),
    edit("nrsal", "Nr. salariati:", "nrsal", 2, 1, 80, LabelApart, CharCase::Normal),
    edit("DBEdit12", "Fond lunar de salarii:", "fondlunsal", 3, 1, 100, LabelApart, CharCase::Normal),
    edit("DBEdit13", "Comision datorat:", "comdat", 4, 1, 100, LabelApart, CharCase::Normal),
    edit("achit", "Din care achitat:", "comac", 5, 1, 100, LabelApart, CharCase::Normal),
    checkBox("fal", "Societatea este in faliment", "faliment", 0, 2),
    stretch(0, 2),
    label("-= RON =-", 0, 2, Bold),
    spanning(widget<LiquidatorGroup>("lgb", nullptr, 1, 2, 0, Grow), 5, 1),
    spanning(group("gbdec2005", "[ Decembrie 2005 ]", december2005Cells, 1, 2, Grow), 5, 1),
    // The buttons stay at the foot of the panel when the December 2005
    // amounts take the liquidator's place.
    verticalStretch(6),
    spanning(wide(group(nullptr, nullptr, buttonCells, 7, 0, 0, &makeWidget<ButtonTray>), 440), 1, 3),
    hint(7, 0),
};
} // namespace

DeclarationPanel::DeclarationPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date declaratie ]"), parent)
{
    setObjectName(QStringLiteral("ddgb"));
    setBackground(this, palette().color(QPalette::Button));
    const FormControls form = buildForm(this, declarationCells);
    DBCheckBox1 = form.get<DbCheckBox>("DBCheckBox1");
    proccom = form.get<DbRadioGroup>("proccom");
    nrsal = form.get<DbEdit>("nrsal");
    DBEdit12 = form.get<DbEdit>("DBEdit12");
    DBEdit13 = form.get<DbEdit>("DBEdit13");
    achit = form.get<DbEdit>("achit");
    fal = form.get<DbCheckBox>("fal");
    lgb = form.get<LiquidatorGroup>("lgb");
    gbdec2005 = form.get<QGroupBox>("gbdec2005");
    DBEdit14 = form.get<DbEdit>("DBEdit14");
    DBEdit19 = form.get<DbEdit>("DBEdit19");
    Button1 = form.get<QPushButton>("Button1");
    Button2 = form.get<QPushButton>("Button2");

    lgb->setEnabled(false);
    setBackground(gbdec2005, palette().color(QPalette::Button));
    gbdec2005->hide();
}

void DeclarationPanel::attach(Tdm& dm, Actions actions)
{
    m_dm = &dm;
    m_actions = std::move(actions);
    DBCheckBox1->setDataSource(dm.sDeclaratii);
    proccom->setDataSource(dm.sDeclaratii);
    proccom->setDataField(QStringLiteral("com25"));
    for (DbEdit* edit : amountFields())
        edit->setDataSource(dm.sDeclaratii);
    fal->setDataSource(dm.sFirme);
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
    attachHooks(DBCheckBox1, HighlightedRoadHooks(fieldKeys));
    // Each radio button, as the window's creation hooks them.
    for (QRadioButton* button : proccom->buttons()) {
        ControlHooks hooks = HighlightedRoadHooks(fieldKeys);
        hooks.exit = [this](QWidget* control) {
            ClearHighlight(control);
            // Leaving the group as a whole recomputes the commission.
            QWidget* next = QApplication::focusWidget();
            if (!next || next->parentWidget() != proccom)
                proccomExit();
        };
        attachHooks(button, hooks);
    }
    for (DbEdit* amount : amountFields()) {
        ControlHooks hooks = HighlightedRoadHooks(fieldKeys);
        hooks.change = [this](QWidget* sender) { nrsalChange(sender); };
        if (amount == DBEdit12) {
            RoadKeys fundKeys = fieldKeys;
            fundKeys.enter = [this] { achit->setFocus(Qt::OtherFocusReason); };
            hooks.keyDown = RoadKeyHandler(fundKeys);
            hooks.exit = [this](QWidget*) { DBEdit12Exit(); };
        }
        attachHooks(amount, hooks);
    }
    ControlHooks falHooks = HighlightedRoadHooks(fieldKeys);
    falHooks.change = [this](QWidget*) { falClick(); };
    attachHooks(fal, falHooks);
    lgb->wireKeys(fieldKeys);

    const RoadKeys buttonKeys { {}, QStringLiteral("Ati finalizat declaratia ?"), road.backToPeriod };
    for (QWidget* button : { Button1, Button2 })
        attachHooks(button, { RoadKeyHandler(buttonKeys), {}, {}, {} });
    OnClick(Button1, [this] { Button1Click(); });
    OnClick(Button2, [this] {
        m_closingItself = true;
        runGuarded([this] { Button2Click(); });
        m_closingItself = false;
    });
}

QList<QWidget*> DeclarationPanel::tabOrder() const
{
    QList<QWidget*> order { DBCheckBox1 };
    for (QWidget* button : proccom->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        order.append(button);
    order << nrsal << DBEdit12 << DBEdit13 << achit << fal;
    order << lgb->tabOrder();
    order << DBEdit14 << DBEdit19 << Button1 << Button2;
    return order;
}

QList<DbEdit*> DeclarationPanel::amountFields() const
{
    return { nrsal, DBEdit12, DBEdit13, achit, DBEdit14, DBEdit19 };
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
