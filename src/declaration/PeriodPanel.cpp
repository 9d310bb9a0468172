#include "declaration/PeriodPanel.h"

#include "declaration/Period.h"
#include "payers/LegalForms.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/StrictNumber.h"
#include "store/Tdm.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"

#include <QLineEdit>

namespace itm {

namespace {
// Digits only, each position shown as "_" while it is empty; the text read
// from the field holds the digits alone.
template <int digits> QWidget* digitsEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setInputMask(QString(digits, u'0') + QStringLiteral(";_"));
    return edit;
}

const FormCell periodCells[] = {
    { .kind = Control::Label, .caption = "Perioada declaratiei (luna / anul)", .flags = Bold },
    { .kind = Control::Widget, .name = "MaskEdit1", .geometry = { .width = 28 }, .create = &digitsEdit<2> },
    { .kind = Control::Label, .caption = "/", .flags = Bold },
    { .kind = Control::Widget, .name = "MaskEdit2", .geometry = { .width = 44 }, .create = &digitsEdit<4> },
    { .kind = Control::Hint },
};
} // namespace

PeriodPanel::PeriodPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelLuna"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setBackground(this, QColor(218, 218, 218));
    m_form = buildForm(this, periodCells);
    MaskEdit1 = m_form.get<QLineEdit>("MaskEdit1");
    MaskEdit2 = m_form.get<QLineEdit>("MaskEdit2");
    MaskEdit1->setText(QStringLiteral("1"));
}

void PeriodPanel::attach(Tdm& dm, Actions actions)
{
    m_dm = &dm;
    m_actions = std::move(actions);
}

void PeriodPanel::wireRoad(Road road)
{
    const RoadKeys monthKeys { road.moveOn,
        QStringLiteral("Ati terminat actualizarea (sau selectati o alta societate) ?"), road.backToPayerData };
    attachHooks(MaskEdit1, { RoadKeyHandler(monthKeys), {}, [this](QWidget*) { MaskEdit1Exit(); }, {} });
    RoadKeys yearKeys = monthKeys;
    yearKeys.enter = [this, periodEntered = std::move(road.periodEntered)] {
        periodEntered();
        lookUpDeclaration();
    };
    attachHooks(MaskEdit2, { RoadKeyHandler(yearKeys), {}, {}, {} });
}

QList<QWidget*> PeriodPanel::tabOrder() const
{
    return m_form.tabOrder();
}

void PeriodPanel::presetToday()
{
    const PeriodTexts preset = PeriodPreset(platform().clock->today());
    MaskEdit1->setText(preset.month);
    MaskEdit2->setText(preset.year);
}

void PeriodPanel::MaskEdit1Exit()
{
    // Left by the way back to the payer (which can run while a box keeps the
    // window inactive): the month of a closed panel is no longer checked.
    if (!isEnabled())
        return;
    if (const auto clamped = ClampedMonthText(MaskEdit1->text())) {
        MaskEdit1->setText(*clamped);
        MaskEdit1->setFocus(Qt::OtherFocusReason);
    }
}

void PeriodPanel::lookUpDeclaration()
{
    const PeriodLookup period = CheckPeriod(MaskEdit1->text(), MaskEdit2->text());
    switch (period.verdict) {
    case PeriodLookup::Verdict::NotANumber:
        return;
    case PeriodLookup::Verdict::YearCorrected:
        MaskEdit2->setText(period.correction);
        return;
    case PeriodLookup::Verdict::MonthCorrected:
        MaskEdit1->setText(period.correction);
        return;
    case PeriodLookup::Verdict::Valid:
        break;
    }
    const bool january2006 = IsJanuary2006(period.month, period.year);
    Dataset& payers = *m_dm->qryFirme;
    Dataset& declarations = *m_dm->qryDeclaratii;

    m_actions.showGroups(january2006);
    if (declarations.Active())
        declarations.Close();
    declarations.setParam(QStringLiteral("idfirma"), payers.FieldByName(QStringLiteral("id")).AsVariant());
    declarations.setParam(QStringLiteral("luna"), MaskEdit1->text());
    declarations.setParam(QStringLiteral("anul"), MaskEdit2->text());
    declarations.Open();

    if (january2006) {
        payers.FieldByName(QStringLiteral("faliment")).setAsInteger(0);
        payers.Post();
        payers.Refresh();
        payers.Locate(QStringLiteral("cui"), m_actions.payerCode(), LocateCaseInsensitive);
        payers.Edit();
    }

    const QString monthName = MonthName(int(period.month));
    if (!declarations.IsEmpty()) {
        if (!platform().prompts->confirm(
                QStringLiteral("Datele delaratiei pentru luna %1 exista deja. Modificati acum ?").arg(monthName))) {
            m_actions.backToPayerData();
            return;
        }
        declarations.Edit();
    } else {
        if (!platform().prompts->confirm(
                QStringLiteral("Datele delaratiei pentru luna %1 nu exista. Adaugati acum ?").arg(monthName))) {
            m_actions.backToPayerData();
            return;
        }
        declarations.Append();
        ApplyWrites(declarations,
            NewDeclarationValues(
                payers.FieldByName(QStringLiteral("id")).AsVariant(), period.month, MaskEdit2->text()));
    }
    m_actions.openDeclaration();
}

} // namespace itm
