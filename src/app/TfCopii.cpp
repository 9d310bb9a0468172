#include "app/TfCopii.h"

#include "backup/BackupNames.h"
#include "backup/Backups.h"
#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "widgets/FormBuilder.h"
#include "widgets/RoadKeys.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>

namespace itm {

namespace {

const QString timeShown = QStringLiteral("dd.MM.yyyy HH:mm:ss");

const FormCell copiesCells[] = {
    { .kind = Control::Widget, .name = "tabel", .flags = Grow | GrowDown, .create = &makeWidget<QTableWidget> },
    { .kind = Control::Button, .name = "btnCopie", .caption = "&Copie acum", .geometry = { .row = 1 } },
    { .kind = Control::Button, .name = "btnRestaurare", .caption = "&Restaureaza", .geometry = { .row = 1 } },
    { .kind = Control::Stretch, .geometry = { .row = 1 } },
    { .kind = Control::Button, .name = "btnInchide", .caption = "&Inchide", .geometry = { .row = 1 } },
    { .kind = Control::Label,
        .name = "hint",
        .caption = "Enter - restaureaza copia aleasa    F2 - copie acum    Esc - inchide",
        .geometry = { .row = 2 } },
};

} // namespace

TfCopii::TfCopii(const QString& databasePath, QWidget* parent)
    : QDialog(parent)
    , m_databasePath(databasePath)
{
    setObjectName(QStringLiteral("fCopii"));
    setWindowTitle(QStringLiteral("Copii de siguranta"));
    setModal(true);
    const FormControls form = buildForm(this, copiesCells, Loose);
    tabel = form.get<QTableWidget>("tabel");
    btnCopie = form.get<QPushButton>("btnCopie");
    btnRestaurare = form.get<QPushButton>("btnRestaurare");
    btnInchide = form.get<QPushButton>("btnInchide");
    hint = form.get<QLabel>("hint");

    tabel->setColumnCount(5);
    tabel->setHorizontalHeaderLabels({ QStringLiteral("Data"), QStringLiteral("Marime"), QStringLiteral("Platitori"),
        QStringLiteral("Declaratii"), QStringLiteral("Verificare") });
    tabel->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabel->setSelectionMode(QAbstractItemView::SingleSelection);
    tabel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabel->verticalHeader()->hide();
    tabel->horizontalHeader()->setStretchLastSection(true);
    tabel->installEventFilter(this);
    // Enter belongs to the table's row, not to a default button.
    for (QPushButton* button : { btnCopie, btnRestaurare, btnInchide })
        button->setAutoDefault(false);
    resize(720, 420);

    OnClick(btnCopie, [this] { copieClick(); });
    OnClick(btnRestaurare, [this] { restaurareClick(); });
    connect(btnInchide, &QPushButton::clicked, this, &QDialog::reject);
    auto* copyKey = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(copyKey, &QShortcut::activated, this, [this] { runGuarded([this] { copieClick(); }); });
}

TfCopii::~TfCopii() = default;

void TfCopii::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    tabel->setFocus(Qt::OtherFocusReason);
    // The list is read once the window is up, so that its progress shows over it.
    if (!m_loaded)
        QTimer::singleShot(0, this, [this] { runGuarded([this] { reload(); }); });
}

bool TfCopii::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tabel && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runGuarded([this] { restaurareClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfCopii::reload()
{
    m_loaded = true;
    const QString path = m_databasePath;
    QList<Row> rows;
    // Reads files only: nothing of the window is touched meanwhile.
    runJob(this, QStringLiteral("Copii de siguranta"), JobThread::Background, [&rows, path](JobProgress& progress) {
        progress.setStep(QStringLiteral("Se verifica copiile"));
        for (const BackupEntry& backup : ListBackups(BackupFolder(path), BackupStem(path)))
            rows.append({ backup, std::nullopt });
        progress.setTotal(rows.size());
        for (Row& row : rows) {
            // A stopped reading still lists every copy, the rest unchecked.
            if (progress.isCancelled())
                break;
            row.check = CheckDatabaseFile(row.backup.path, CheckDepth::Summary);
            progress.advance();
        }
    });
    showRows(rows, QString());
}

void TfCopii::showRows(const QList<Row>& rows, const QString& selectPath)
{
    m_rows = rows;
    tabel->setRowCount(int(rows.size()));
    int selected = rows.isEmpty() ? -1 : 0;
    for (int index = 0; index < rows.size(); ++index) {
        const Row& row = rows.at(index);
        const bool passed = row.check && row.check->passed;
        const QString unknown = QStringLiteral("?");
        const QString verdict = !row.check ? QStringLiteral("neverificata")
            : passed                       ? QStringLiteral("corecta")
                                           : row.check->problem;
        const QStringList cells { row.backup.name.made.toString(timeShown), BackupSizeText(row.backup.size),
            passed ? QString::number(row.check->payers) : unknown,
            passed ? QString::number(row.check->declarations) : unknown, verdict };
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells.at(column));
            if (column > 0 && column < 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tabel->setItem(index, column, item);
        }
        if (row.backup.path == selectPath)
            selected = index;
    }
    tabel->resizeColumnsToContents();
    if (selected >= 0)
        tabel->selectRow(selected);
}

void TfCopii::copieClick()
{
    const QString path = m_databasePath;
    const QDateTime now = platform().clock->now();
    BackupOutcome outcome;
    // The program writes nothing while this window is open; the copy reads
    // through a connection of its own.
    const JobOutcome job = runJob(this, QStringLiteral("Copie de siguranta"), JobThread::Background,
        [&outcome, path, now](JobProgress& progress) {
            progress.setStep(QStringLiteral("Se copiaza baza de date"));
            outcome = MakeBackup(path, BackupFolder(path), now, MissingFolder::Create, nullptr, RegisterMark::Give,
                [&progress](qint64 copied, qint64 total) {
                    progress.setTotal(total);
                    progress.setDone(copied);
                    return !progress.isCancelled();
                });
            if (outcome.status == CopyOutcome::Cancelled)
                throw JobCancelled();
            if (outcome.made())
                PruneBackups(BackupFolder(path), BackupStem(path), now, outcome.path);
        });
    if (job == JobOutcome::Cancelled)
        return;
    if (!outcome.made()) {
        platform().prompts->message(
            QStringLiteral("Copia de siguranta nu a putut fi facuta: %1.").arg(outcome.problem));
        return;
    }
    reload();
    for (int index = 0; index < m_rows.size(); ++index) {
        if (m_rows.at(index).backup.path == outcome.path)
            tabel->selectRow(index);
    }
}

void TfCopii::restaurareClick()
{
    const int index = tabel->currentRow();
    if (index < 0 || index >= m_rows.size())
        return;
    const Row& row = m_rows.at(index);
    if (row.check && !row.check->passed) {
        platform().prompts->message(QStringLiteral("Copia din %1 nu poate fi restaurata: %2.")
                                        .arg(row.backup.name.made.toString(timeShown), row.check->problem));
        return;
    }
    if (!platform().prompts->confirm(
            QStringLiteral("Restaurati copia din %1? Registrul se inchide, baza de date de acum se pastreaza intr-o "
                           "copie, iar registrul se deschide din copia aleasa.")
                .arg(row.backup.name.made.toString(timeShown))))
        return;
    m_chosen = row.backup.path;
    accept();
}

} // namespace itm
