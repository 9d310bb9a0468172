#include "payers/PayerPanel.h"

#include "payers/Counties.h"
#include "payers/FiscalCode.h"
#include "payers/LegalForms.h"
#include "payers/PayerValidation.h"
#include "payers/Sector.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "records/DeletedPayers.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "taxregister/PayerRegisterFill.h"
#include "widgets/DbEdit.h"
#include "widgets/FocusHighlight.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"
#include "widgets/UpperCaseValidator.h"

#include <QLabel>
#include <QPushButton>
#include <QValidator>

namespace itm {

namespace {

const FormCell representativeCells[] = {
    edit("nrep", "Nume", "numerep", 0, 0, 0, Grow),
    edit("prep", "Prenume", "prenumerep", 0, 0, 0, Grow),
    edit("frep", "Functie", "funcrep", 0, 0, 70),
};

const FormCell buttonCells[] = {
    button("Button3", "Validare &date societate", 0, 0, 200),
    button("Button5", "Declaratie &lunara", 0, 0, 200),
    label("F3 - date ANAF", 0, 0, Apart, "lblF3"),
    label("F5 - fisa platitorului", 0, 0, Apart, "lblF5"),
};

const FormCell payerCells[] = {
    spanning(button("den", "Click pentru stabilire denumire", 0, 0, 0, Bold | Grow), 1, 2),
    widget<TVelaDBAutoCompletitionEdit>("jud", "Judet:", 1, 1, 140, LabelApart),
    edit("loc", "Localitate:", "loc", 1, 1, 220),
    edit("sector", "Sector:", "sector", 1, 1, 36),
    edit("str", "Strada:", "str", 2, 1, 0, LabelApart | Grow),
    edit("snr", "Nr:", "nr", 2, 1, 60),
    edit("DBEdit1", "Bloc:", "bloc", 2, 1, 60),
    edit("DBEdit2", "Scara:", "scara", 2, 1, 50),
    edit("DBEdit6", "Ap:", "ap", 2, 1, 58),
    edit("DBEdit7", "Cod postal:", "codpostal", 3, 1, 90, LabelApart),
    edit("DBEdit8", "Telefon:", "telefon", 3, 1, 120),
    edit("DBEdit10", "Banca:", "banca", 3, 1, 140),
    edit("DBEdit11", "Cont IBAN:", "cont", 3, 1, 0, Grow),
    edit("DBEdit9", "E-mail:", "email", 4, 1, 190, LabelApart, CharCase::Lower),
    group("gbrep", " [ Reprezentant societate ] ", representativeCells, 4, 1, Grow),
    spanning(group(nullptr, nullptr, buttonCells, 5, 0, Grow, &makeWidget<ButtonTray>), 1, 2),
};

} // namespace

PayerPanel::PayerPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date contribuabil ]"), parent)
{
    setObjectName(QStringLiteral("dcgb"));
    setBackground(this, palette().color(QPalette::Button));
    const FormControls form = buildForm(this, payerCells);
    den = form.get<QPushButton>("den");
    jud = form.get<TVelaDBAutoCompletitionEdit>("jud");
    loc = form.get<DbEdit>("loc");
    sector = form.get<DbEdit>("sector");
    str = form.get<DbEdit>("str");
    snr = form.get<DbEdit>("snr");
    DBEdit1 = form.get<DbEdit>("DBEdit1");
    DBEdit2 = form.get<DbEdit>("DBEdit2");
    DBEdit6 = form.get<DbEdit>("DBEdit6");
    DBEdit7 = form.get<DbEdit>("DBEdit7");
    DBEdit8 = form.get<DbEdit>("DBEdit8");
    DBEdit10 = form.get<DbEdit>("DBEdit10");
    DBEdit11 = form.get<DbEdit>("DBEdit11");
    DBEdit9 = form.get<DbEdit>("DBEdit9");
    nrep = form.get<DbEdit>("nrep");
    prep = form.get<DbEdit>("prep");
    frep = form.get<DbEdit>("frep");
    Button3 = form.get<QPushButton>("Button3");
    Button5 = form.get<QPushButton>("Button5");
    lblF3 = form.get<QLabel>("lblF3");
    lblF5 = form.get<QLabel>("lblF5");

    jud->setText(QStringLiteral("DOLJ"));
    jud->KeyField = QStringLiteral("codjudet");
    jud->ReadOnly = true;
    jud->NoValueNoExit = true;
    // Upper case before the text changes, so that the completion sees the
    // keystroke once, already in the case of the county names.
    jud->setValidator(new UpperCaseValidator(jud));
    sector->setEnabled(false);
    Button5->setEnabled(false);
}

void PayerPanel::attach(Tdm& dm, TVelaDBAutoCompletitionEdit* cui, std::function<void()> showNameDialog)
{
    m_dm = &dm;
    m_cui = cui;
    m_showNameDialog = std::move(showNameDialog);
    for (DbEdit* edit : { loc, sector, str, snr, DBEdit1, DBEdit2, DBEdit6, DBEdit7, DBEdit8, DBEdit10, DBEdit11,
             DBEdit9, nrep, prep, frep })
        edit->setDataSource(dm.sFirme);
    jud->setListSource(dm.sJudete);
    jud->setListField(QStringLiteral("denumire"));
    jud->setDataSource(dm.sFirme);
    jud->setDataField(QStringLiteral("codjudet"));
    // Every post shows the name as it was stored, separators already blanked.
    connect(&dm, &Tdm::payerCleaned, this, [this] { den->setText(composedName()); });

    QList<QPair<QWidget*, QString>> fields { { jud, QStringLiteral("codjudet") } };
    for (DbEdit* edit : { loc, sector, str, snr, DBEdit1, DBEdit2, DBEdit6, DBEdit7, DBEdit8, DBEdit10, DBEdit11,
             DBEdit9, nrep, prep, frep })
        fields.append({ edit, edit->dataField() });
    // F3: a new payer's data from the tax authority's register.
    new PayerRegisterFill(
        { dm.qryFirme, dm.qryJudete, jud, sector, den, Button3, fields, [this] { den->setText(composedName()); } },
        this);
}

QList<QWidget*> PayerPanel::tabOrder() const
{
    return { den, jud, loc, sector, str, snr, DBEdit1, DBEdit2, DBEdit6, DBEdit7, DBEdit8, DBEdit10, DBEdit11, DBEdit9,
        nrep, prep, frep, Button3, Button5 };
}

QList<QWidget*> PayerPanel::keyHandlerControls() const
{
    return { den, jud, loc, sector, str, snr, DBEdit1, DBEdit2, DBEdit6, DBEdit7, DBEdit8, DBEdit10, DBEdit11, DBEdit9,
        nrep, prep, frep };
}

void PayerPanel::wireRoad(Road road)
{
    const RoadKeys fieldKeys { road.moveOn, QStringLiteral("Renuntati la actualizarea datelor ?"),
        road.backToPayerCode };
    for (QWidget* control : keyHandlerControls()) {
        ControlHooks hooks = HighlightedRoadHooks(fieldKeys);
        if (control == jud)
            hooks.exit = [this](QWidget*) { judExit(); };
        else if (control == loc)
            hooks.exit = [this](QWidget*) { locExit(); };
        else if (control == sector)
            hooks.change = [this](QWidget*) { sectorChange(); };
        else if (control == den)
            hooks.enter = hooks.exit = nullptr;
        attachHooks(control, hooks);
    }
    const RoadKeys buttonKeys { {}, {}, road.backToPayerCode };
    for (QWidget* button : { Button3, Button5 })
        attachHooks(button, { RoadKeyHandler(buttonKeys), {}, {}, {} });
    OnClick(den, [this] { denClick(); });
    OnClick(Button3, [this] { Button3Click(); });
    OnClick(Button5, std::move(road.toPeriod));
}

QString PayerPanel::composedName() const
{
    Dataset& payers = *m_dm->qryFirme;
    const QString name = payers.FieldByName(QStringLiteral("denumire")).AsString();
    const auto composed = ComposedLegalName(payers.FieldByName(QStringLiteral("prefix")).AsInteger(), name,
        payers.FieldByName(QStringLiteral("sufix")).AsInteger());
    return composed.value_or(name);
}

void PayerPanel::showNameCaption()
{
    if (m_dm->qryFirme->State() == DatasetState::Insert)
        den->setText(QStringLiteral("Click pentru stabilire denumire"));
    else
        den->setText(composedName());
}

bool PayerPanel::codeIsCurrentPayer() const
{
    // The completion made the matched payer current, but a Backspace after it
    // keeps that payer while the field shows a shorter code: the payer is
    // only the one typed while its code is still what the field shows.
    Dataset& payers = *m_dm->qryFirme;
    if (!m_cui->IsInListSource() || payers.IsEmpty() || payers.RecNo() == -1)
        return false;
    return payers.FieldByName(QStringLiteral("cui")).AsString().compare(m_cui->text(), Qt::CaseInsensitive) == 0;
}

bool PayerPanel::openPayerRecord()
{
    const QString code = m_cui->text();
    if (!IsValidFiscalCode(code)) {
        platform().prompts->notice(QStringLiteral("Atentie"), QStringLiteral("Atentie, cod fiscal eronat !!!"));
        return false;
    }
    Dataset& payers = *m_dm->qryFirme;
    if (codeIsCurrentPayer()) {
        payers.Edit();
    } else {
        payers.Append();
        payers.FieldByName(QStringLiteral("cui")).setAsString(code);
    }
    return true;
}

void PayerPanel::denClick()
{
    if (m_showNameDialog)
        m_showNameDialog();
    den->setText(composedName());
    jud->setFocus(Qt::OtherFocusReason);
}

bool PayerPanel::judIsBucharest() const
{
    return isBucharest(jud->text());
}

void PayerPanel::judExit()
{
    Dataset& payers = *m_dm->qryFirme;
    // The county can be left after the payer was given up (the way back to
    // the payer code ran while a box kept the window inactive): nothing of
    // a record that is no longer edited is touched then.
    if (payers.State() != DatasetState::Edit && payers.State() != DatasetState::Insert) {
        ClearHighlight(jud);
        return;
    }
    if (judIsBucharest()) {
        if (payers.State() == DatasetState::Insert)
            payers.FieldByName(QStringLiteral("sector")).setAsInteger(0);
        payers.FieldByName(QStringLiteral("loc")).setAsString(jud->text());
        sector->setEnabled(true);
        sector->setFocus(Qt::OtherFocusReason);
    } else {
        sector->setEnabled(false);
        payers.FieldByName(QStringLiteral("sector")).setAsInteger(0);
    }
    ClearHighlight(jud);
}

void PayerPanel::locExit()
{
    ClearHighlight(loc);
    if (!judIsBucharest())
        str->setFocus(Qt::OtherFocusReason);
}

void PayerPanel::sectorChange()
{
    // Setting the same text again changes nothing and raises no change.
    sector->setText(SectorFieldText(sector->text()));
}

QWidget* PayerPanel::controlForColumn(const QString& column) const
{
    const QList<QPair<const char*, QWidget*>> controls { { "codjudet", jud }, { "loc", loc }, { "str", str },
        { "numerep", nrep }, { "prenumerep", prep }, { "funcrep", frep }, { "sector", sector } };
    for (const auto& [name, control] : controls) {
        if (column == QLatin1String(name))
            return control;
    }
    return den;
}

void PayerPanel::Button3Click()
{
    Dataset& payers = *m_dm->qryFirme;
    payers.UpdateRecord();
    const RuleOutcome outcome = ValidatePayer(payers, jud->text());
    ApplyWrites(payers, outcome.writes);
    if (const auto& failure = outcome.failure) {
        platform().prompts->message(failure->message);
        if (failure->column == u"denumire") {
            if (m_showNameDialog)
                m_showNameDialog();
            den->setText(composedName());
        }
        // A stored Bucharest payer validated without passing the county still
        // has the sector closed; the message sends the user there.
        if (failure->column == u"sector")
            sector->setEnabled(true);
        controlForColumn(failure->column)->setFocus(Qt::OtherFocusReason);
        return;
    }

    payers.Post();
    payers.Refresh();
    payers.Locate(QStringLiteral("cui"), m_cui->text(), LocateCaseInsensitive);
    payers.Edit();
    Button5->setEnabled(true);
    Button5->setFocus(Qt::OtherFocusReason);
}

void PayerPanel::stergClick()
{
    Dataset& payers = *m_dm->qryFirme;
    if (!codeIsCurrentPayer()) {
        platform().prompts->message(QStringLiteral("Nu puteti sterge o firma care nu exista"));
        return;
    }
    if (!platform().prompts->confirm(QStringLiteral("Sigur doriti sa stergeti firma ?")))
        return;
    {
        // The declarations go with their payer or not at all, and into the
        // history with it, so that the payer can be brought back.
        Transaction transaction(m_dm->con);
        const QDateTime now = platform().clock ? platform().clock->now() : QDateTime::currentDateTime();
        DeletePayerKeepingHistory(m_dm->con, payers.FieldByName(QStringLiteral("id")).AsInteger(), m_dm->keepsHistory(),
            now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), false);
        payers.Delete();
        try {
            transaction.commit();
        } catch (const Error&) {
            // The cursor has let the row go; reading it again shows it back.
            payers.Refresh();
            throw;
        }
    }
    payers.Refresh();
    m_cui->setFocus(Qt::OtherFocusReason);
}

} // namespace itm
