#include "payers/TfDenumire.h"

#include "payers/LegalForms.h"
#include "platform/Guard.h"
#include "store/Tdm.h"
#include "widgets/ControlHooks.h"
#include "widgets/DbEdit.h"
#include "widgets/FormBuilder.h"
#include "widgets/RadioGroup.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QShowEvent>

namespace itm {

namespace {

const QString prefixColumn = QStringLiteral("prefix");
const QString sufixColumn = QStringLiteral("sufix");

constexpr int scItem = 0; // "S.C.": the only form that carries a suffix

QWidget* makePrefixGroup(QWidget* parent)
{
    return new RadioGroup(QStringLiteral("[ Prefix ( Forma de organizare) ]"), PrefixRadioCaptions(), 2, parent);
}

QWidget* makeSuffixGroup(QWidget* parent)
{
    return new RadioGroup(
        QStringLiteral("[ Sufix (Tipuri de societati comerciale) ]"), SuffixRadioCaptions(), 1, parent);
}

// Created in tab order: prefix buttons, name, suffix buttons.
const FormCell nameCells[] = {
    { .kind = Control::Widget, .name = "rgp", .flags = Grow, .create = &makePrefixGroup },
    { .kind = Control::Label,
        .name = "Label1",
        .caption = "[ Denumire organizatie (fara prefix/sufix) ]",
        .geometry = { .row = 1 } },
    { .kind = Control::Edit, .name = "den", .column = "denumire", .geometry = { .row = 2 }, .flags = Grow },
    { .kind = Control::Widget, .name = "rgs", .geometry = { .row = 3 }, .flags = Grow, .create = &makeSuffixGroup },
};

} // namespace

TfDenumire::TfDenumire(Tdm& dm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("fDenumire"));
    setWindowTitle(QStringLiteral("Compunere Denumire"));
    setModal(true);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    const FormControls form = buildForm(this, nameCells, Loose);
    rgp = form.get<RadioGroup>("rgp");
    Label1 = form.get<QLabel>("Label1");
    den = form.get<DbEdit>("den");
    rgs = form.get<RadioGroup>("rgs");
    const QFont nameFont(QStringLiteral("Tahoma"), 10, QFont::Bold);
    Label1->setFont(nameFont);
    Label1->setBuddy(den);
    den->setFont(nameFont);
    den->setDataSource(dm.sFirme);
    den->setMinimumWidth(420);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(rgp, &RadioGroup::itemChanged, this, [this] { runGuarded([this] { rgpChange(); }); });
    attachHooks(den, ControlHooks { [this](QWidget* sender, int key) { return denKeyDown(sender, key); }, {}, {}, {} });
}

Dataset& TfDenumire::payer() const
{
    return *m_dm.qryFirme;
}

void TfDenumire::setVisible(bool visible)
{
    // Qt centres a dialog on its parent by guessing the size of the window
    // frames from the other windows; without a window manager there are no
    // frames and the guess puts the dialog 40 pixels high and 10 to the left.
    // The dialog has no frame of its own, so it is placed here, by the
    // parent's frame.
    if (visible && !isVisible() && parentWidget()) {
        if (layout())
            layout()->activate();
        const QPoint centre = parentWidget()->window()->frameGeometry().center();
        move(centre - QPoint(width() / 2, height() / 2));
    }
    QDialog::setVisible(visible);
}

void TfDenumire::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window coming back from being minimised is not a new show.
    if (!event->spontaneous())
        runGuarded([this] { FormShow(); });
}

void TfDenumire::FormShow()
{
    // The buttons keep their handlers between shows: attaching again would
    // stack a second filter on each button and run every key twice.
    if (!m_buttonHooksAttached) {
        for (QRadioButton* button : rgp->buttons())
            attachHooks(button,
                ControlHooks {
                    [this](QWidget* sender, int key) { return rgpButtonKeyDown(sender, key); }, {}, {}, {} });
        for (QRadioButton* button : rgs->buttons())
            attachHooks(button,
                ControlHooks {
                    [this](QWidget* sender, int key) { return rgsButtonKeyDown(sender, key); }, {}, {}, {} });
        m_buttonHooksAttached = true;
    }

    Dataset& record = payer();
    if (record.State() == DatasetState::Insert) {
        rgp->buttons().first()->setFocus(Qt::OtherFocusReason);
        selectPrefixItem(scItem);
        rgs->setItemIndex(0);
        record.FieldByName(prefixColumn).setAsInteger(1);
        record.FieldByName(sufixColumn).setAsInteger(1);
    } else {
        den->setFocus(Qt::OtherFocusReason);
        selectPrefixItem(PrefixRadioItem(record.FieldByName(prefixColumn).AsInteger()));
        rgs->setItemIndex(SuffixRadioItem(record.FieldByName(sufixColumn).AsInteger()));
    }
    rgs->setEnabled(record.FieldByName(sufixColumn).AsInteger() != 0);
}

// Selecting an item from the program counts as a click whenever the selection
// changes. A stored prefix outside the table leaves no item selected; it is no
// S.C. either, so it always takes the suffix away as any other form does.
void TfDenumire::selectPrefixItem(int item)
{
    rgp->setItemIndex(item); // emits itemChanged, and so runs rgpChange, for a new item
    if (item < 0)
        rgpChange();
}

void TfDenumire::rgpChange()
{
    Dataset& record = payer();
    const int item = rgp->itemIndex();
    if (item != scItem)
        record.FieldByName(sufixColumn).setAsInteger(0);
    rgs->setEnabled(item == scItem);
    rgs->setItemIndex(SuffixRadioItem(record.FieldByName(sufixColumn).AsInteger()));
}

// A group with nothing selected (a stored value outside the table) is written
// as "Altele", the value 0, never as an index outside the table.
void TfDenumire::writeChoices()
{
    Dataset& record = payer();
    record.FieldByName(prefixColumn).setAsInteger(qMax(0, PrefixFromRadioItem(rgp->itemIndex())));
    record.FieldByName(sufixColumn).setAsInteger(qMax(0, SuffixFromRadioItem(rgs->itemIndex())));
}

bool TfDenumire::rgpButtonKeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        den->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (key == KeyEscape) {
        done(Rejected);
        return true;
    }
    return false;
}

bool TfDenumire::denKeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        if (rgs->isEnabled()) {
            rgs->focusCheckedItem(Qt::TabFocusReason);
        } else {
            // Leaving the name writes it into the record before the choices.
            rgp->focusCheckedItem(Qt::BacktabFocusReason);
            QCoreApplication::processEvents();
            writeChoices();
            closeAfterEnter();
        }
        return true;
    }
    if (key == KeyEscape) {
        done(Rejected);
        return true;
    }
    return false;
}

bool TfDenumire::rgsButtonKeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        writeChoices();
        den->setFocus(Qt::BacktabFocusReason);
        QCoreApplication::processEvents();
        closeAfterEnter();
        return true;
    }
    if (key == KeyEscape) {
        done(Rejected);
        return true;
    }
    return false;
}

// The pending messages processed before closing may already have closed the
// dialog (an Escape typed right after the Enter); it is not closed twice.
void TfDenumire::closeAfterEnter()
{
    if (isVisible())
        done(Accepted);
}

void TfDenumire::done(int result)
{
    // The caller reads the name from the record as soon as the dialog is gone,
    // but an edit that still has the focus when its window hides keeps what was
    // typed to itself: write it now, whichever way the dialog closes.
    runGuarded([this] { den->updateRecord(); });
    QDialog::done(result);
}

} // namespace itm
