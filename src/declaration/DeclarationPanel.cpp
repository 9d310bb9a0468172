#include "declaration/DeclarationPanel.h"

#include "declaration/CalendarDate.h"
#include "declaration/Commission.h"
#include "declaration/LiquidatorGroup.h"
#include "declaration/LiquidatorValidation.h"
#include "declaration/Period.h"
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
const QString kFundMessage
    = QStringLiteral("Fondul lunar de salarii trebuie sa fie un numar intreg, pozitiv sau zero.");
const EditSpec amountEdits[] = {
    { "nrsal", "Nr. salariati:", "nrsal", 8, 130, 80, 80, CharCase::Normal },
    { "DBEdit12", "Fond lunar de salarii:", "fondlunsal", 8, 130, 104, 100, CharCase::Normal },
    { "DBEdit13", "Comision datorat:", "comdat", 8, 130, 128, 100, CharCase::Normal },
    { "achit", "Din care achitat:", "comac", 8, 130, 152, 100, CharCase::Normal },
};
const EditSpec december2005Edits[] = {
    { "DBEdit14", "Comision datorat:", "comdec", 8, 200, 20, 100, CharCase::Normal },
    // The one caption of the program with a diacritic.
    { "DBEdit19", "din care achitat \xEEn luna decembrie:", "comdecac", 8, 200, 46, 100, CharCase::Normal },
};
} // namespace

DeclarationPanel::DeclarationPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date declaratie ]"), parent)
{
    setObjectName(QStringLiteral("ddgb"));
    setBackground(this, palette().color(QPalette::Button));
    DBCheckBox1 = new DbCheckBox(QStringLiteral("declaratie rectificativa"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setGeometry(8, 16, 200, 20);
    proccom = new DbRadioGroup(QStringLiteral("[ Procent Comision ]"),
        { QStringLiteral("0.&75%"), QStringLiteral("0.&25%") }, { QStringLiteral("0"), QStringLiteral("1") }, 2, this);
    proccom->setObjectName(QStringLiteral("proccom"));
    proccom->setGeometry(8, 34, 222, 44);
    DbEdit** targets[] = { &nrsal, &DBEdit12, &DBEdit13, &achit };
    for (size_t i = 0; i < std::size(amountEdits); ++i)
        *targets[i] = addEdit(this, nullptr, amountEdits[i]);
    addLabel(this, QStringLiteral("-= RON =-"), 700, 4, true);

    fal = new DbCheckBox(QStringLiteral("Societatea este in faliment"), this);
    fal->setObjectName(QStringLiteral("fal"));
    fal->setGeometry(250, 16, 220, 20);
    lgb = new LiquidatorGroup(this);
    lgb->setGeometry(250, 32, 512, 150);
    lgb->setEnabled(false);

    gbdec2005 = new QGroupBox(QStringLiteral("[ Decembrie 2005 ]"), this);
    gbdec2005->setObjectName(QStringLiteral("gbdec2005"));
    setBackground(gbdec2005, palette().color(QPalette::Button));
    gbdec2005->setGeometry(250, 32, 512, 76);
    DBEdit14 = addEdit(gbdec2005, nullptr, december2005Edits[0]);
    DBEdit19 = addEdit(gbdec2005, nullptr, december2005Edits[1]);
    DBEdit19->setObjectName(QStringLiteral("DBEdit19"));
    gbdec2005->hide();

    new ButtonTray(this, QRect(6, 186, 440, 28));
    Button1 = addButton(this, "Button1", QStringLiteral("Inregistrare &declaratie"), QRect(12, 188, 200, 24));
    Button2 = addButton(this, "Button2", QStringLiteral("A&nulare"), QRect(220, 188, 200, 24));
    addBackHint(this, 760, 196);
}

void DeclarationPanel::attach(Tdm& dm, Actions actions)
{
    m_dm = &dm;
    m_actions = std::move(actions);
    DBCheckBox1->setDataSource(dm.sDeclaratii);
    DBCheckBox1->setDataField(QStringLiteral("rectificativ"));
    proccom->setDataSource(dm.sDeclaratii);
    proccom->setDataField(QStringLiteral("com25"));
    for (DbEdit* edit : amountFields())
        edit->setDataSource(dm.sDeclaratii);
    fal->setDataSource(dm.sFirme);
    fal->setDataField(QStringLiteral("faliment"));
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
    const Field due = declarations.FieldByName(QStringLiteral("comdat"));
    const bool reduced = declarations.FieldByName(QStringLiteral("com25")).AsInteger() != 0;
    const double f = fund.AsFloat();
    const auto commission = CommissionDue(f, reduced);
    if (!commission) {
        // A negative or fractional salary fund has no commission: nothing is
        // computed from it and the user is told why - unless the declaration
        // is being dropped, or the focus is already on its way back to the fund.
        due.setAsString(QString());
        if (closing() || m_returningToFund)
            return;
        platform().prompts->message(kFundMessage);
        m_returningToFund = true;
        QMetaObject::invokeMethod(
            DBEdit12,
            [this] {
                DBEdit12->setFocus(Qt::OtherFocusReason);
                m_returningToFund = false;
            },
            Qt::QueuedConnection);
        return;
    }
    due.setAsInteger(*commission);
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
    if (!fund.IsNull() && !IsStorableSalaryFund(fund.AsFloat())) {
        platform().prompts->message(kFundMessage);
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
