#include "output/OutputPanel.h"

#include "output/DeclarationLine.h"
#include "output/FormFill.h"
#include "output/PrintedForms.h"
#include "output/TfSelDisck.h"
#include "platform/Platform.h"
#include "platform/Printing.h"
#include "platform/Prompts.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"

#include <QLabel>

namespace itm {

namespace {
const FormCell outputCells[] = {
    { .kind = Control::Button,
        .name = "Button4",
        .caption = "&Generare discheta I.T.M.",
        .geometry = { .width = 240 },
        .flags = Bold | ButtonKeys },
    { .kind = Control::Button,
        .name = "Button6",
        .caption = "&Listare declaratie I.T.M.",
        .geometry = { .width = 240 },
        .flags = Bold | ButtonKeys },
    { .kind = Control::Label, .name = "lblF6", .caption = "F6 - urmatorul", .flags = Apart },
    { .kind = Control::Hint },
    { .kind = Control::Label, .name = "lblSalvare", .caption = "", .geometry = { .row = 1 } },
};
} // namespace

OutputPanel::OutputPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("butpan"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setBackground(this, QColor(218, 218, 218));
    m_form = buildForm(this, outputCells);
    Button4 = m_form.get<QPushButton>("Button4");
    Button6 = m_form.get<QPushButton>("Button6");
    lblSalvare = m_form.get<QLabel>("lblSalvare");
}

void OutputPanel::attach(Tdm& dm, TfSelDisck* driveDialog, PrintedForms* forms)
{
    m_dm = &dm;
    m_driveDialog = driveDialog;
    m_forms = forms;
}

void OutputPanel::wireRoad(std::function<void()> backToPeriod)
{
    m_form.attachKeys(ButtonKeys, { {}, {}, std::move(backToPeriod) });
    OnClick(Button4, [this] { Button4Click(); });
    OnClick(Button6, [this] { Button6Click(); });
}

QList<QWidget*> OutputPanel::tabOrder() const
{
    return m_form.tabOrder();
}

void OutputPanel::Button4Click()
{
    Dataset& payers = *m_dm->qryFirme;
    Dataset& declarations = *m_dm->qryDeclaratii;
    // The line holds what is stored, never edits left unsaved on the window.
    payers.Cancel();
    declarations.Cancel();
    try {
        m_driveDialog->Linie = BuildDeclarationLine(payers, declarations);
    } catch (const Error& error) {
        reportRecordFault(error);
        return;
    }
    m_driveDialog->Luna = declarations.FieldByName(QStringLiteral("ln")).AsInteger();
    m_driveDialog->An = declarations.FieldByName(QStringLiteral("an")).AsInteger();
    m_driveDialog->Cui = payers.FieldByName(QStringLiteral("cui")).AsString();
    lblSalvare->clear();
    m_driveDialog->exec();
    // What was written is shown on the panel, not in one more box to close.
    if (const auto& saved = m_driveDialog->lastSave()) {
        lblSalvare->setText(saved->summary());
    }
    declarations.Edit();
    payers.Edit();
}

// A record made by another tool (an amount that is no whole number): nothing
// is written or printed, the message says whose record it is, and both
// records are left in editing as after an output.
void OutputPanel::reportRecordFault(const Error& error)
{
    Dataset& payers = *m_dm->qryFirme;
    platform().prompts->error(PayerRecordFault(payers.FieldByName(QStringLiteral("cui")).AsString(), error.message()));
    m_dm->qryDeclaratii->Edit();
    payers.Edit();
}

void OutputPanel::Button6Click()
{
    Dataset& payers = *m_dm->qryFirme;
    Dataset& declarations = *m_dm->qryDeclaratii;
    payers.Cancel();
    PrintedFormChoice choice;
    try {
        choice = ChoosePrintedForm(declarations, payers);
    } catch (const Error& error) {
        reportRecordFault(error);
        return;
    }
    const FormData data { &declarations, &payers, m_dm->qryJudete, m_dm->qryJudL };
    const QString jobTitle = DeclarationJobTitle(payers.FieldByName(QStringLiteral("cui")).AsString(),
        declarations.FieldByName(QStringLiteral("ln")).AsInteger(),
        declarations.FieldByName(QStringLiteral("an")).AsInteger());
    platform().printing->previewAndPrint(window(), jobTitle, [&] { return m_forms->layOut(choice, data); });
    declarations.Edit();
    payers.Edit();
}

} // namespace itm
