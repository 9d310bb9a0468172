#include "output/TfSelDisck.h"

#include "output/DeclarationFile.h"
#include "output/DeclarationLine.h"
#include "output/DriveIcons.h"
#include "platform/Drives.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "widgets/ControlHooks.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace itm {

namespace {
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
} // namespace

TfSelDisck::TfSelDisck(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("fSelDisck"));
    setWindowTitle(QStringLiteral("ITM"));
    setModal(true);
    resize(420, 260);
    auto* layout = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(QStringLiteral("[ Dispozitive ]"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    lv = new QListWidget(GroupBox1);
    lv->setObjectName(QStringLiteral("lv"));
    lv->setViewMode(QListView::IconMode);
    lv->setIconSize(QSize(64, 64));
    lv->setMovement(QListView::Static);
    lv->setResizeMode(QListView::Adjust);
    lv->setSpacing(8);
    groupLayout->addWidget(lv);
    layout->addWidget(GroupBox1, 1);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QHBoxLayout(panel);
    Button1 = new QPushButton(QStringLiteral("&Salveaza !"), panel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    QFont font = Button1->font();
    font.setBold(true);
    font.setPointSize(10);
    Button1->setFont(font);
    panelLayout->addStretch();
    panelLayout->addWidget(Button1);
    panelLayout->addStretch();
    layout->addWidget(panel);

    attachHooks(lv, { [this](QWidget* sender, int key) { return lvKeyDown(sender, key); }, {}, {}, {} });
    connect(lv, &QListWidget::itemDoubleClicked, this, [this] { runGuarded([this] { lvDblClick(); }); });
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
            if (items.isEmpty()) {
                auto* item = new QListWidgetItem(DriveIcon(imageOf(present.value(root))), root, lv);
                lv->setCurrentItem(item);
            }
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

void TfSelDisck::lvDblClick()
{
    // The save lets the window breathe while it merges; a second click or
    // Enter that arrives then must not start a save of its own, which would
    // wait for the lock the first one holds.
    if (m_saving)
        return;
    const QScopedValueRollback<bool> saving(m_saving, true);
    QCoreApplication::processEvents();
    QListWidgetItem* selected = lv->currentItem();
    if (selected && selected->isSelected()) {
        const QString root = selected->text();
        const bool saved = SaveDeclarationFile(root, Luna, An, DeclarationFileBytes(Cui), DeclarationFileBytes(Linie),
            [] { QCoreApplication::processEvents(); });
        if (!saved)
            platform().prompts->message(QStringLiteral("Salvarea nu poate fi efectuata!."));
    }
    accept();
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
