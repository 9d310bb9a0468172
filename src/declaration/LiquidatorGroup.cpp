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
const EditSpec liquidatorEdits[] = {
    { "denl", "Denumire:", "ldenumire", 8, 70, 14, 230 },
    { "locl", "Localitate:", "lloc", 8, 70, 36, 140 },
    { "lsec", "Sector:", "lsector", 220, 258, 36, 28 },
    { "lstr", "Strada:", "lstr", 296, 338, 36, 164 },
    { "DBEdit44", "Nr:", "lnr", 8, 30, 58, 44 },
    { "DBEdit45", "Bl.:", "lbloc", 82, 104, 58, 44 },
    { "DBEdit46", "Sc.:", "lscara", 156, 178, 58, 36 },
    { "DBEdit47", "Ap:", "lap", 222, 244, 58, 36 },
    { "DBEdit48", "Cod postal:", "lcodpostal", 290, 352, 58, 70 },
    { "DBEdit49", "Telefon:", "ltelefon", 8, 70, 80, 110 },
    { "DBEdit21", "E-mail:", "lemail", 190, 232, 80, 230, CharCase::Lower },
    { "cuil", "C.N.P./C.U.I.:", "lcui", 8, 90, 102, 110, CharCase::Normal },
    { "zi", "Data intrarii in procedura de lichidare (zzllaaaa):", "lzi", 8, 300, 124, 24, CharCase::Normal },
    { "luna", nullptr, "lln", 0, 326, 124, 24, CharCase::Normal },
    { "an", nullptr, "lan", 0, 352, 124, 40, CharCase::Normal },
};
} // namespace

LiquidatorGroup::LiquidatorGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date lichidator ]"), parent)
{
    setObjectName(QStringLiteral("lgb"));
    setBackground(this, palette().color(QPalette::Button));
    DbEdit** targets[] = { &denl, &locl, &lsec, &lstr, &DBEdit44, &DBEdit45, &DBEdit46, &DBEdit47, &DBEdit48, &DBEdit49,
        &DBEdit21, &cuil, &zi, &luna, &an };
    for (size_t i = 0; i < std::size(liquidatorEdits); ++i)
        *targets[i] = addEdit(this, nullptr, liquidatorEdits[i]);
    addLabel(this, QStringLiteral("Judet:"), 312, 17);
    judl = new TVelaDBAutoCompletitionEdit(this);
    judl->setObjectName(QStringLiteral("judl"));
    judl->setGeometry(346, 14, 150, 21);
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
