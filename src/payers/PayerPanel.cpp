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
    { .kind = Control::Edit, .name = "nrep", .caption = "Nume", .column = "numerep", .flags = Grow | RoadField },
    { .kind = Control::Edit, .name = "prep", .caption = "Prenume", .column = "prenumerep", .flags = Grow | RoadField },
    { .kind = Control::Edit,
        .name = "frep",
        .caption = "Functie",
        .column = "funcrep",
        .geometry = { .width = 110 },
        .flags = RoadField },
};

const FormCell buttonCells[] = {
    { .kind = Control::Button,
        .name = "Button3",
        .caption = "Validare &date societate",
        .geometry = { .width = 200 },
        .flags = ButtonKeys },
    { .kind = Control::Button,
        .name = "Button5",
        .caption = "Declaratie &lunara",
        .geometry = { .width = 200 },
        .flags = ButtonKeys },
    { .kind = Control::Label, .name = "lblF3", .caption = "F3 - date ANAF", .flags = Apart },
    { .kind = Control::Label, .name = "lblF5", .caption = "F5 - fisa platitorului", .flags = Apart },
};

const FormCell payerCells[] = {
    { .kind = Control::Button,
        .name = "den",
        .caption = "Click pentru stabilire denumire",
        .geometry = { .colSpan = 2 },
        .flags = Bold | Grow | FieldKeys },
    { .kind = Control::Widget,
        .name = "jud",
        .caption = "Judet:",
        .column = "codjudet",
        .geometry = { .row = 1, .col = 1, .width = 140 },
        .flags = LabelApart | RoadField,
        .create = &makeWidget<TVelaDBAutoCompletitionEdit> },
    { .kind = Control::Edit,
        .name = "loc",
        .caption = "Localitate:",
        .column = "loc",
        .geometry = { .row = 1, .col = 1, .width = 220 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "sector",
        .caption = "Sector:",
        .column = "sector",
        .geometry = { .row = 1, .col = 1, .width = 36 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "str",
        .caption = "Strada:",
        .column = "str",
        .geometry = { .row = 2, .col = 1 },
        .flags = LabelApart | Grow | RoadField },
    { .kind = Control::Edit,
        .name = "snr",
        .caption = "Nr:",
        .column = "nr",
        .geometry = { .row = 2, .col = 1, .width = 70 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit1",
        .caption = "Bloc:",
        .column = "bloc",
        .geometry = { .row = 2, .col = 1, .width = 60 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit2",
        .caption = "Scara:",
        .column = "scara",
        .geometry = { .row = 2, .col = 1, .width = 40 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit6",
        .caption = "Ap:",
        .column = "ap",
        .geometry = { .row = 2, .col = 1, .width = 48 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit7",
        .caption = "Cod postal:",
        .column = "codpostal",
        .geometry = { .row = 3, .col = 1, .width = 60 },
        .flags = LabelApart | RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit8",
        .caption = "Telefon:",
        .column = "telefon",
        .geometry = { .row = 3, .col = 1, .width = 110 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit10",
        .caption = "Banca:",
        .column = "banca",
        .geometry = { .row = 3, .col = 1, .width = 140 },
        .flags = RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit11",
        .caption = "Cont IBAN:",
        .column = "cont",
        .geometry = { .row = 3, .col = 1 },
        .flags = Grow | RoadField },
    { .kind = Control::Edit,
        .name = "DBEdit9",
        .caption = "E-mail:",
        .column = "email",
        .geometry = { .row = 4, .col = 1, .width = 170 },
        .flags = LabelApart | RoadField,
        .charCase = CharCase::Lower },
    { .kind = Control::Group,
        .name = "gbrep",
        .caption = " [ Reprezentant societate ] ",
        .geometry = { .row = 4, .col = 1 },
        .flags = Grow,
        .cells = representativeCells },
    { .kind = Control::Group,
        .geometry = { .row = 5, .colSpan = 2 },
        .flags = Grow,
        .create = &makeWidget<ButtonTray>,
        .cells = buttonCells },
};

} // namespace

PayerPanel::PayerPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("[ Date contribuabil ]"), parent)
{
    setObjectName(QStringLiteral("dcgb"));
    setBackground(this, palette().color(QPalette::Button));
    m_form = buildForm(this, payerCells);
    den = m_form.get<QPushButton>("den");
    jud = m_form.get<TVelaDBAutoCompletitionEdit>("jud");
    loc = m_form.get<DbEdit>("loc");
    sector = m_form.get<DbEdit>("sector");
    str = m_form.get<DbEdit>("str");
    snr = m_form.get<DbEdit>("snr");
    DBEdit1 = m_form.get<DbEdit>("DBEdit1");
    DBEdit8 = m_form.get<DbEdit>("DBEdit8");
    DBEdit10 = m_form.get<DbEdit>("DBEdit10");
    Button3 = m_form.get<QPushButton>("Button3");
    Button5 = m_form.get<QPushButton>("Button5");
    lblF3 = m_form.get<QLabel>("lblF3");
    lblF5 = m_form.get<QLabel>("lblF5");

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
    jud->setListSource(dm.sJudete);
    jud->setListField(QStringLiteral("denumire"));
    m_form.bindColumns({ dm.sFirme });
    // Every post shows the name as it was stored, separators already blanked.
    connect(&dm, &Tdm::payerCleaned, this, [this] { den->setText(composedName()); });

    // F3: a new payer's data from the tax authority's register.
    new PayerRegisterFill({ dm.qryFirme, dm.qryJudete, jud, sector, den, Button3, m_form.boundColumns(),
                              [this] { den->setText(composedName()); } },
        this);
}

QList<QWidget*> PayerPanel::tabOrder() const
{
    return m_form.tabOrder();
}

void PayerPanel::wireRoad(Road road)
{
    const RoadKeys fieldKeys { road.moveOn, QStringLiteral("Renuntati la actualizarea datelor ?"),
        road.backToPayerCode };
    m_form.attachKeys(FieldKeys, fieldKeys, [this](QWidget* control, ControlHooks& hooks) {
        if (control == jud)
            hooks.exit = [this](QWidget*) { judExit(); };
        else if (control == loc)
            hooks.exit = [this](QWidget*) { locExit(); };
        else if (control == sector)
            hooks.change = [this](QWidget*) { sectorChange(); };
    });
    m_form.attachKeys(ButtonKeys, { {}, {}, road.backToPayerCode });
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
    // The legal name is corrected through its button.
    QWidget* control = m_form.controlOf(column);
    return control ? control : den;
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
