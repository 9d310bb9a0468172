#include "output/TfSelDisck.h"

#include "output/DeclarationFile.h"
#include "output/DeclarationLine.h"
#include "output/DriveIcons.h"
#include "platform/Drives.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "widgets/ControlHooks.h"
#include "widgets/FormBuilder.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMap>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>

namespace itm {

namespace {

// The volume an item was listed with.
constexpr int kVolumeRole = Qt::UserRole;

// The medium went while pending messages were processed during the merge.
struct MediumGone
{
};

int imageOf(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Floppy:
        return 0;
    case DriveKind::Optical:
        return 1;
    case DriveKind::Removable:
        break;
    }
    return 2;
}

const FormCell deviceCells[] = {
    { .kind = Control::Widget, .name = "lv", .flags = Grow | GrowDown, .create = &makeWidget<QListWidget> },
};

const FormCell saveCells[] = {
    { .kind = Control::Stretch },
    { .kind = Control::Button, .name = "Button1", .caption = "&Salveaza !", .flags = Bold },
    { .kind = Control::Stretch },
};

const FormCell driveCells[] = {
    { .kind = Control::Group,
        .name = "GroupBox1",
        .caption = "[ Dispozitive ]",
        .flags = Grow | GrowDown | Loose,
        .cells = deviceCells },
    { .kind = Control::Group,
        .name = "Panel1",
        .geometry = { .row = 1 },
        .flags = Grow | Loose,
        .create = &makeWidget<QWidget>,
        .cells = saveCells },
};
} // namespace

TfSelDisck::TfSelDisck(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("fSelDisck"));
    setWindowTitle(QStringLiteral("ITM"));
    setModal(true);
    resize(420, 260);
    const FormControls form = buildForm(this, driveCells, Loose);
    GroupBox1 = form.get<QGroupBox>("GroupBox1");
    lv = form.get<QListWidget>("lv");
    Button1 = form.get<QPushButton>("Button1");
    lv->setViewMode(QListView::IconMode);
    lv->setIconSize(QSize(64, 64));
    lv->setMovement(QListView::Static);
    lv->setResizeMode(QListView::Adjust);
    lv->setSpacing(8);
    QFont font = Button1->font();
    font.setPointSize(10);
    Button1->setFont(font);

    attachHooks(lv, { [this](QWidget* sender, int key) { return lvKeyDown(sender, key); }, {}, {}, {} });
    // Enter on the focused button presses it.
    attachHooks(Button1, {});
    connect(lv, &QListWidget::itemDoubleClicked, this, [this] { runGuarded([this] { lvDblClick(); }); });
    lv->viewport()->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, [this] { runGuarded([this] { lvDblClick(); }); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { runGuarded([this] { Timer1Timer(); }); });
    Timer1->start();
}

void TfSelDisck::Timer1Timer()
{
    Drives* drives = platform().drives;
    if (!drives)
        return;
    // Roots in order, present or gone, as the drive letters are walked in order.
    QMap<QString, DriveKind> present;
    for (const DriveInfo& drive : drives->scan())
        present.insert(drive.rootPath, drive.kind);
    QMap<QString, bool> roots;
    for (int i = 0; i < lv->count(); ++i)
        roots.insert(lv->item(i)->text(), true);
    for (auto it = present.cbegin(); it != present.cend(); ++it)
        roots.insert(it.key(), true);

    for (auto it = roots.cbegin(); it != roots.cend(); ++it) {
        const QString& root = it.key();
        const auto items = lv->findItems(root, Qt::MatchExactly);
        if (present.contains(root)) {
            // What the item stands for follows the medium now mounted there;
            // a drive gone again since the scan is left to the next tick.
            const QString volume = drives->volumeAt(root);
            if (volume.isEmpty())
                continue;
            if (items.isEmpty()) {
                auto* item = new QListWidgetItem(DriveIcon(imageOf(present.value(root))), root, lv);
                item->setData(kVolumeRole, volume);
                lv->setCurrentItem(item);
            }
            for (QListWidgetItem* item : items)
                item->setData(kVolumeRole, volume);
        } else {
            for (QListWidgetItem* item : items) {
                delete item;
                if (lv->count() > 0)
                    lv->setCurrentRow(0);
            }
        }
    }
}

void TfSelDisck::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void TfSelDisck::FormShow()
{
    lv->setFocus(Qt::OtherFocusReason);
}

void TfSelDisck::keyPressEvent(QKeyEvent* event)
{
    // Only the list answers Escape, after its question; the dialog itself has no cancel key.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

bool TfSelDisck::eventFilter(QObject* watched, QEvent* event)
{
    // A double click beside the icons selects nothing: the dialog closes
    // without writing, as a save with no drive chosen does.
    if (watched == lv->viewport() && event->type() == QEvent::MouseButtonDblClick
        && !lv->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        lv->clearSelection();
        runGuarded([this] { lvDblClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// A medium pulled out after it was listed can leave its mount point behind as
// a bare folder of the computer's own disk, still writable; and while pending
// messages are processed another medium can take its place. The file goes
// only onto the volume that was listed, checked again right before writing.
bool TfSelDisck::isStillMounted(const QString& root, const QString& listedVolume) const
{
    Drives* drives = platform().drives;
    return drives && !listedVolume.isEmpty() && drives->volumeAt(root) == listedVolume;
}

void TfSelDisck::lvDblClick()
{
    // A second click or Enter that arrives while the save runs must not start
    // a save of its own, which would wait for the lock the first one holds.
    if (m_saving)
        return;
    const QScopedValueRollback<bool> saving(m_saving, true);
    m_lastSave.reset();
    QCoreApplication::processEvents();
    QListWidgetItem* selected = lv->currentItem();
    if (selected && selected->isSelected())
        saveOnto(selected->text(), selected->data(kVolumeRole).toString());
    accept();
}

// The medium is checked before the save and again once the lines are merged,
// right before anything is written: a medium pulled out after it was listed
// can leave its mount point behind as a bare folder of the computer's own
// disk, still writable, and another medium can take its place meanwhile.
void TfSelDisck::saveOnto(const QString& root, const QString& volume)
{
    if (!isStillMounted(root, volume)) {
        platform().prompts->message(QStringLiteral("Salvarea nu poate fi efectuata!."));
        return;
    }
    const QList<DeclarationEntry> entries = m_entries.isEmpty()
        ? QList<DeclarationEntry> { { DeclarationFileBytes(Cui), DeclarationFileBytes(Linie) } }
        : m_entries;
    DeclarationSaveReport report;
    bool saved = false;
    const JobOutcome outcome
        = runJob(this, QStringLiteral("Se scrie fisierul %1 pe %2").arg(DeclarationFileName(An, Luna), root),
            JobThread::Background, [&](JobProgress& progress) {
                DeclarationSaveOptions options;
                options.progress = &progress;
                options.report = &report;
                options.beforeWriting = [&] {
                    if (!isStillMounted(root, volume))
                        throw MediumGone {};
                };
                try {
                    saved = SaveDeclarationLines(root, Luna, An, entries, options);
                } catch (const MediumGone&) {
                    saved = false;
                }
            });
    if (outcome == JobOutcome::Cancelled) {
        platform().prompts->message(QStringLiteral("Salvarea a fost oprita; pe disc nu s-a scris nimic."));
        return;
    }
    if (!saved) {
        platform().prompts->message(QStringLiteral("Salvarea nu poate fi efectuata!."));
        return;
    }
    m_lastSave = SavedDeclarationFile { root, report.rootFile, report.lineCount };
    if (!report.keptRezCopy.isEmpty()) {
        platform().prompts->message(
            QStringLiteral("Fisierul %1 lipsea sau era mai vechi decat copia din Rez, care "
                           "avea si liniile altor platitori.\nCopia veche a fost pastrata ca %2.")
                .arg(report.rootFile, report.keptRezCopy));
    }
}

QString TfSelDisck::SavedDeclarationFile::summary() const
{
    return QStringLiteral("Scris %1 (%2 linii) si copia din Rez, pe %3").arg(file).arg(lineCount).arg(root);
}

int TfSelDisck::execForLines(qint64 luna, qint64 an, const QList<DeclarationEntry>& entries)
{
    Luna = luna;
    An = an;
    m_entries = entries;
    const int result = exec();
    m_entries.clear();
    return result;
}

bool TfSelDisck::lvKeyDown(QWidget*, int key)
{
    if (key == KeyEnter) {
        lvDblClick();
        return true;
    }
    if (key == KeyEscape) {
        if (platform().prompts->confirm(QStringLiteral("Renuntati la salvare ?")))
            reject();
        return true;
    }
    return false;
}

} // namespace itm
