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
    edit("denl", "Denumire:", "ldenumire", 0, 1, 230, LabelApart),
    widget<TVelaDBAutoCompletitionEdit>("judl", "Judet:", 0, 1, 150),
    edit("locl", "Localitate:", "lloc", 1, 1, 140, LabelApart),
    edit("lsec", "Sector:", "lsector", 1, 1, 28),
    edit("lstr", "Strada:", "lstr", 1, 1, 164),
    spanning(edit("DBEdit44", "Nr:", "lnr", 2, 0, 44), 1, 2),
    spanning(edit("DBEdit45", "Bl.:", "lbloc", 2, 0, 44), 1, 2),
    spanning(edit("DBEdit46", "Sc.:", "lscara", 2, 0, 36), 1, 2),
    spanning(edit("DBEdit47", "Ap:", "lap", 2, 0, 36), 1, 2),
    spanning(edit("DBEdit48", "Cod postal:", "lcodpostal", 2, 0, 70), 1, 2),
    edit("DBEdit49", "Telefon:", "ltelefon", 3, 1, 110, LabelApart),
    edit("DBEdit21", "E-mail:", "lemail", 3, 1, 230, 0, CharCase::Lower),
    spanning(edit("cuil", "C.N.P./C.U.I.:", "lcui", 4, 0, 110, 0, CharCase::Normal), 1, 2),
    spanning(
        edit("zi", "Data intrarii in procedura de lichidare (zzllaaaa):", "lzi", 5, 0, 24, 0, CharCase::Normal), 1, 2),
    spanning(edit("luna", nullptr, "lln", 5, 0, 24, 0, CharCase::Normal), 1, 2),
    spanning(edit("an", nullptr, "lan", 5, 0, 40, 0, CharCase::Normal), 1, 2),
};
} // namespace

LiquidatorGroup::LiquidatorGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date lichidator ]"), parent)
{
    setObjectName(QStringLiteral("lgb"));
    setBackground(this, palette().color(QPalette::Button));
    // Six rows of fields beside the declaration's figures.
    const FormControls form = buildForm(this, liquidatorCells, Dense);
    denl = form.get<DbEdit>("denl");
    judl = form.get<TVelaDBAutoCompletitionEdit>("judl");
    locl = form.get<DbEdit>("locl");
    lsec = form.get<DbEdit>("lsec");
    lstr = form.get<DbEdit>("lstr");
    DBEdit44 = form.get<DbEdit>("DBEdit44");
    DBEdit45 = form.get<DbEdit>("DBEdit45");
    DBEdit46 = form.get<DbEdit>("DBEdit46");
    DBEdit47 = form.get<DbEdit>("DBEdit47");
    DBEdit48 = form.get<DbEdit>("DBEdit48");
    DBEdit49 = form.get<DbEdit>("DBEdit49");
    DBEdit21 = form.get<DbEdit>("DBEdit21");
    cuil = form.get<DbEdit>("cuil");
    zi = form.get<DbEdit>("zi");
    luna = form.get<DbEdit>("luna");
    an = form.get<DbEdit>("an");

    judl->KeyField = QStringLiteral("codjudet");
    judl->ReadOnly = true;
    judl->NoValueNoExit = true;
    judl->setValidator(new UpperCaseValidator(judl));
    lsec->setEnabled(false);
}

void LiquidatorGroup::attach(Tdm& dm)
{
    m_dm = &dm;
    for (DbEdit* edit : { denl, locl, lsec, lstr, DBEdit44, DBEdit45, DBEdit46, DBEdit47, DBEdit48, DBEdit49, DBEdit21,
             cuil, zi, luna, an })
        edit->setDataSource(dm.sFirme);
    judl->setListSource(dm.sJudL);
    judl->setListField(QStringLiteral("denumire"));
    judl->setDataSource(dm.sFirme);
    judl->setDataField(QStringLiteral("lcodjudet"));
}

QList<QWidget*> LiquidatorGroup::tabOrder() const
{
    return { denl, judl, locl, lsec, lstr, DBEdit44, DBEdit45, DBEdit46, DBEdit47, DBEdit48, DBEdit49, DBEdit21, cuil,
        zi, luna, an };
}

void LiquidatorGroup::wireKeys(const RoadKeys& keys)
{
    for (QWidget* control : tabOrder()) {
        ControlHooks hooks = HighlightedRoadHooks(keys);
        if (control == judl)
            hooks.exit = [this](QWidget*) { judlExit(); };
        else if (control == lsec)
            hooks.change = [this](QWidget*) { lsecChange(); };
        else if (control == cuil)
            hooks.exit = [this](QWidget*) { cuilExit(); };
        else if (control == an)
            hooks.exit = [this](QWidget*) { anExit(); };
        attachHooks(control, hooks);
    }
}

QWidget* LiquidatorGroup::controlForColumn(const QString& column) const
{
    if (column == u"lcodjudet")
        return judl;
    // The date is corrected from its first field.
    if (column == u"lzi" || column == u"lln" || column == u"lan")
        return zi;
    for (DbEdit* edit : { denl, locl, lsec, lstr, cuil }) {
        if (edit->dataField() == column)
            return edit;
    }
    return cuil;
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
