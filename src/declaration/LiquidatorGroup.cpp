#include "declaration/LiquidatorGroup.h"

#include "declaration/CalendarDate.h"
#include "payers/Counties.h"
#include "payers/FiscalCode.h"
#include "payers/Sector.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Tdm.h"
#include "widgets/FocusHighlight.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"
#include "widgets/UpperCaseValidator.h"

namespace itm {

namespace {
const FormCell liquidatorCells[] = {
    { .kind = Control::Edit,
        .name = "denl",
        .caption = "Denumire:",
        .column = "ldenumire",
        .geometry = { .col = 1, .width = 230 },
        .flags = LabelApart | RoadField },
    { .kind = Control::Widget,
        .name = "judl",
        .caption = "Judet:",
        .column = "lcodjudet",
        .geometry = { .col = 1, .width = 150 },
        .flags = RoadField,
        .create = &makeWidget<TVelaDBAutoCompletitionEdit> },
    { .kind = Control::Edit,
        .name = "locl",
        .caption = "Localitate:",
        .column = "lloc",
        .geometry = { .row = 1, .col = 1, .width = 140 },
        .flags = LabelApart | RoadField },
    { .kind = Control::Edit,
        .name = "lsec",
        .caption = "Sector:",
        .column = "lsector",
        .geometry = { .row = 1, .col = 1, .width = 28 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "lstr",
        .caption = "Strada:",
        .column = "lstr",
        .geometry = { .row = 1, .col = 1, .width = 164 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit44",
        .caption = "Nr:",
        .column = "lnr",
        .geometry = { .row = 2, .width = 44, .colSpan = 2 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit45",
        .caption = "Bl.:",
        .column = "lbloc",
        .geometry = { .row = 2, .width = 44, .colSpan = 2 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit46",
        .caption = "Sc.:",
        .column = "lscara",
        .geometry = { .row = 2, .width = 36, .colSpan = 2 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit47",
        .caption = "Ap:",
        .column = "lap",
        .geometry = { .row = 2, .width = 36, .colSpan = 2 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit48",
        .caption = "Cod postal:",
        .column = "lcodpostal",
        .geometry = { .row = 2, .width = 70, .colSpan = 2 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit49",
        .caption = "Telefon:",
        .column = "ltelefon",
        .geometry = { .row = 3, .col = 1, .width = 110 },
        .flags = LabelApart | RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit21",
        .caption = "E-mail:",
        .column = "lemail",
        .geometry = { .row = 3, .col = 1, .width = 230 },
        .flags = RoadField,
        .charCase = CharCase::Lower },
    { .kind = Control::Edit,
        .name = "cuil",
        .caption = "C.N.P./C.U.I.:",
        .column = "lcui",
        .geometry = { .row = 4, .width = 110, .colSpan = 2 },
        .flags = RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::Edit,
        .name = "zi",
        .caption = "Data intrarii in procedura de lichidare (zzllaaaa):",
        .column = "lzi",
        .geometry = { .row = 5, .width = 24, .colSpan = 2 },
        .flags = RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::Edit,
        .name = "luna",
        .column = "lln",
        .geometry = { .row = 5, .width = 24, .colSpan = 2 },
        .flags = RoadField,
        .charCase = CharCase::Normal },
    { .kind = Control::Edit,
        .name = "an",
        .column = "lan",
        .geometry = { .row = 5, .width = 40, .colSpan = 2 },
        .flags = RoadField,
        .charCase = CharCase::Normal },
};
} // namespace

LiquidatorGroup::LiquidatorGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date lichidator ]"), parent)
{
    setObjectName(QStringLiteral("lgb"));
    setBackground(this, palette().color(QPalette::Button));
    // Six rows of fields beside the declaration's figures.
    m_form = buildForm(this, liquidatorCells, Dense);
    denl = m_form.get<DbEdit>("denl");
    judl = m_form.get<TVelaDBAutoCompletitionEdit>("judl");
    locl = m_form.get<DbEdit>("locl");
    lsec = m_form.get<DbEdit>("lsec");
    cuil = m_form.get<DbEdit>("cuil");
    zi = m_form.get<DbEdit>("zi");
    luna = m_form.get<DbEdit>("luna");
    an = m_form.get<DbEdit>("an");

    judl->KeyField = QStringLiteral("codjudet");
    judl->ReadOnly = true;
    judl->NoValueNoExit = true;
    judl->setValidator(new UpperCaseValidator(judl));
    lsec->setEnabled(false);
}

void LiquidatorGroup::attach(Tdm& dm)
{
    m_dm = &dm;
    judl->setListSource(dm.sJudL);
    judl->setListField(QStringLiteral("denumire"));
    m_form.bindColumns({ dm.sFirme });
}

QList<QWidget*> LiquidatorGroup::tabOrder() const
{
    return m_form.tabOrder();
}

void LiquidatorGroup::wireKeys(const RoadKeys& keys)
{
    m_form.attachKeys(FieldKeys, keys, [this](QWidget* control, ControlHooks& hooks) {
        if (control == judl)
            hooks.exit = [this](QWidget*) { judlExit(); };
        else if (control == lsec)
            hooks.change = [this](QWidget*) { lsecChange(); };
        else if (control == cuil)
            hooks.exit = [this](QWidget*) { cuilExit(); };
        else if (control == an)
            hooks.exit = [this](QWidget*) { anExit(); };
    });
}

QWidget* LiquidatorGroup::controlForColumn(const QString& column) const
{
    // The date is corrected from its first field.
    if (column == u"lzi" || column == u"lln" || column == u"lan")
        return zi;
    QWidget* control = m_form.controlOf(column);
    return control ? control : cuil;
}

bool LiquidatorGroup::closing() const
{
    return m_closing && m_closing();
}

void LiquidatorGroup::judlExit()
{
    if (closing()) {
        // Neither the sector nor the focus may be pulled back into a panel
        // that is going away, and an empty county is no reason to keep it:
        // the field's own refusal is lifted until this departure is over.
        judl->NoValueNoExit = false;
        QMetaObject::invokeMethod(
            judl, [this] { judl->NoValueNoExit = true; }, Qt::QueuedConnection);
        ClearHighlight(judl);
        return;
    }
    Dataset& payers = *m_dm->qryFirme;
    if (isBucharest(judl->text())) {
        if (payers.State() == DatasetState::Insert)
            payers.FieldByName(QStringLiteral("lsector")).setAsInteger(0);
        payers.FieldByName(QStringLiteral("lloc")).setAsString(judl->text());
        lsec->setEnabled(true);
        lsec->setFocus(Qt::OtherFocusReason);
    } else {
        lsec->setEnabled(true);
        payers.FieldByName(QStringLiteral("lsector")).setAsInteger(0);
    }
    ClearHighlight(judl);
}

void LiquidatorGroup::lsecChange()
{
    lsec->setText(SectorFieldText(lsec->text()));
}

void LiquidatorGroup::cuilExit()
{
    if (!closing() && !IsValidFiscalCode(cuil->text())) {
        platform().prompts->message(QStringLiteral("C.U.I./C.N.P. Lichidator incorect"));
        QMetaObject::invokeMethod(
            cuil, [this] { cuil->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
    }
    ClearHighlight(cuil);
}

void LiquidatorGroup::anExit()
{
    ClearHighlight(an);
    if (closing())
        return;
    if (!DateFromTexts(zi->text(), luna->text(), an->text())) {
        platform().prompts->message(QStringLiteral("Data incorecta"));
        QMetaObject::invokeMethod(
            zi, [this] { zi->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
    }
}

} // namespace itm
