#include "exchange/ExchangeWindow.h"

#include "exchange/ImportPreview.h"
#include "exchange/MonthSheet.h"
#include "exchange/PayerImport.h"
#include "exchange/RecordSheets.h"
#include "exchange/RegisterSheet.h"
#include "exchange/SheetFile.h"
#include "platform/FileChooser.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Tdm.h"

#include <QBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

namespace itm::exchange {

namespace {

const QString wrongEnding = QStringLiteral("Numele fisierului trebuie sa se termine in .xlsx sau .csv");

// A file chosen without an ending is a workbook.
QString withSheetEnding(const QString& fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".xlsx") : fileName;
}

// The reason in the system's words is left out: every word the user reads is
// the program's.
QString notWritten(const QString& fileName)
{
    return QStringLiteral("Fisierul %1 nu a putut fi scris; daca exista deja, a ramas neschimbat. Verificati ca "
                          "discul are loc liber si ca puteti scrie in dosarul ales.")
        .arg(fileName);
}

const QString exportStopped = QStringLiteral("Exportul a fost oprit: fisierul nu a fost scris.");

// Writes a sheet file as a job; the message says how it ended.
bool writeAsJob(QWidget* parent, const QString& title, const QString& fileName, const QString& writtenText,
    const std::function<bool(QString*, JobProgress&)>& write)
{
    bool written = false;
    QString failure;
    const JobOutcome outcome = runJob(parent, title, JobThread::Window, [&](JobProgress& progress) {
        progress.setStep(QStringLiteral("Se scrie %1").arg(QFileInfo(fileName).fileName()));
        written = write(&failure, progress);
    });
    if (outcome == JobOutcome::Cancelled)
        platform().prompts->message(exportStopped);
    else
        platform().prompts->message(written ? writtenText : notWritten(fileName));
    return outcome == JobOutcome::Finished && written;
}

} // namespace

bool ImportPayersFromWindow(Tdm& dm, QWidget* parent)
{
    // The import reads the register afresh when it is done, which would drop
    // what is being typed into a payer.
    if (dm.qryFirme->State() != DatasetState::Browse) {
        platform().prompts->message(
            QStringLiteral("Salvati sau abandonati intai datele contribuabilului, apoi importati."));
        return false;
    }
    const QString fileName = platform().files->openFileName(
        parent, QStringLiteral("Import contribuabili"), QStringLiteral("Fisiere CSV (*.csv *.txt);;Toate (*)"));
    if (fileName.isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        platform().prompts->message(QStringLiteral("Fisierul %1 nu poate fi citit.").arg(fileName));
        return false;
    }
    bool written = false;
    runGuarded([&] {
        PayerImport payerImport(dm);
        // The register query is read as the rows are checked: the work stays
        // on the window's thread, which repaints as it reports.
        ImportReport preview;
        if (runJob(parent, QStringLiteral("Import contribuabili"), JobThread::Window,
                [&](JobProgress& progress) { preview = payerImport.check(file, false, &progress); })
            == JobOutcome::Cancelled)
            return;
        ImportPreview dialog(fileName, preview, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        file.seek(0);
        ImportReport report;
        if (runJob(parent, QStringLiteral("Import contribuabili"), JobThread::Window,
                [&](JobProgress& progress) { report = payerImport.run(file, false, &progress); })
            == JobOutcome::Cancelled) {
            platform().prompts->message(QStringLiteral("Importul a fost oprit: nu s-a scris nimic."));
            return;
        }
        written = report.written;
        platform().prompts->message(report.lines().constLast());
    });
    return written;
}

bool ExportRegisterFromWindow(Tdm& dm, QWidget* parent)
{
    const QString chosen = platform().files->saveFileName(parent, QStringLiteral("Export registru contribuabili"),
        QStringLiteral("contribuabili.xlsx"), QStringLiteral("Registru (*.xlsx *.csv)"));
    if (chosen.isEmpty())
        return false;
    const QString fileName = withSheetEnding(chosen);
    const auto format = SheetFormatOfPath(fileName);
    if (!format) {
        platform().prompts->message(wrongEnding);
        return false;
    }
    bool written = false;
    runGuarded([&] {
        written = writeAsJob(parent, QStringLiteral("Export registru contribuabili"), fileName,
            QStringLiteral("Registrul a fost scris in %1").arg(fileName), [&](QString* failure, JobProgress& progress) {
                RegisterSheet payers(
                    dm.con, *format == SheetFormat::Csv ? RegisterColumns::PayerFile : RegisterColumns::Everything);
                return WriteSheetFile(payers, fileName, failure, &progress);
            });
    });
    return written;
}

bool ExportMonthFromWindow(Tdm& dm, const MonthPeriod& period, QWidget* parent)
{
    const QString chosen = platform().files->saveFileName(parent, QStringLiteral("Export situatia lunii"),
        QStringLiteral("situatia-%1-%2.xlsx").arg(period.year).arg(period.month, 2, 10, QLatin1Char('0')),
        QStringLiteral("Situatia lunii (*.xlsx *.csv)"));
    if (chosen.isEmpty())
        return false;
    const QString fileName = withSheetEnding(chosen);
    if (!SheetFormatOfPath(fileName)) {
        platform().prompts->message(wrongEnding);
        return false;
    }
    bool written = false;
    runGuarded([&] {
        written = writeAsJob(parent, QStringLiteral("Export situatia lunii"), fileName,
            QStringLiteral("Situatia lunii a fost scrisa in %1").arg(fileName),
            [&](QString* failure, JobProgress& progress) {
                progress.setStep(QStringLiteral("Se citeste situatia lunii"));
                const QVector<MonthRow> rows = ReadMonthListing(dm.con, period);
                progress.checkCancelled();
                progress.setStep(QStringLiteral("Se scrie %1").arg(QFileInfo(fileName).fileName()));
                return WriteMonthFile(rows, period, fileName, failure, &progress);
            });
    });
    return written;
}

bool ExportHistoryFromWindow(Connection& connection, qint64 payerId, const QString& code, QWidget* parent)
{
    const QString chosen = platform().files->saveFileName(parent, QStringLiteral("Export fisa platitorului"),
        QStringLiteral("fisa-%1.xlsx").arg(code), QStringLiteral("Fisa platitorului (*.xlsx *.csv)"));
    if (chosen.isEmpty())
        return false;
    const QString fileName = withSheetEnding(chosen);
    if (!SheetFormatOfPath(fileName)) {
        platform().prompts->message(wrongEnding);
        return false;
    }
    bool written = false;
    runGuarded([&] {
        written = writeAsJob(parent, QStringLiteral("Export fisa platitorului"), fileName,
            QStringLiteral("Fisa platitorului a fost scrisa in %1").arg(fileName), [&](QString* failure, JobProgress&) {
                return WriteHistoryFile(ReadPayerHistory(connection, payerId), fileName, failure);
            });
    });
    return written;
}

bool ExportYearFromWindow(Connection& connection, qint64 year, QWidget* parent)
{
    const QString chosen = platform().files->saveFileName(parent, QStringLiteral("Export situatia anului"),
        QStringLiteral("anul-%1.xlsx").arg(year), QStringLiteral("Situatia anului (*.xlsx *.csv)"));
    if (chosen.isEmpty())
        return false;
    const QString fileName = withSheetEnding(chosen);
    if (!SheetFormatOfPath(fileName)) {
        platform().prompts->message(wrongEnding);
        return false;
    }
    bool written = false;
    runGuarded([&] {
        written = writeAsJob(parent, QStringLiteral("Export situatia anului"), fileName,
            QStringLiteral("Situatia anului %1 a fost scrisa in %2").arg(year).arg(fileName),
            [&](QString* failure, JobProgress& progress) {
                progress.setStep(QStringLiteral("Se citeste anul %1").arg(year));
                const QList<YearRow> rows = ReadYearSummary(connection, year, &progress);
                progress.setStep(QStringLiteral("Se scrie %1").arg(QFileInfo(fileName).fileName()));
                return WriteYearFile(rows, year, fileName, failure, &progress);
            });
    });
    return written;
}

QPushButton* AddYearExportBeside(QPushButton* before, Connection& connection, std::function<qint64()> year)
{
    QWidget* window = before->window();
    auto* button = new QPushButton(QStringLiteral("Export a&n"), before->parentWidget());
    button->setObjectName(QStringLiteral("btnExportAn"));
    button->setToolTip(QStringLiteral("Alt+N - anul lunii afisate, toti platitorii, intr-un fisier .xlsx sau .csv"));
    button->setAutoDefault(before->autoDefault());
    const auto layouts = before->parentWidget()->findChildren<QBoxLayout*>();
    for (QBoxLayout* layout : layouts) {
        const int index = layout->indexOf(before);
        if (index >= 0) {
            layout->insertWidget(index + 1, button);
            break;
        }
    }
    QWidget::setTabOrder(before, button);
    QObject::connect(button, &QPushButton::clicked, window, [&connection, window, year = std::move(year)] {
        runGuarded([&] { ExportYearFromWindow(connection, year(), window); });
    });
    return button;
}

QPushButton* AddRegisterExportBeside(QPushButton* exportButton, Tdm& dm)
{
    QWidget* window = exportButton->window();
    auto* button = new QPushButton(QStringLiteral("Export &registru"), exportButton->parentWidget());
    button->setObjectName(QStringLiteral("btnExportRegistru"));
    button->setToolTip(QStringLiteral("Alt+R - tot registrul de platitori intr-un fisier .xlsx sau .csv"));
    button->setAutoDefault(exportButton->autoDefault());
    // Beside the month's Export, in its row and after it in the Tab order.
    const auto layouts = exportButton->parentWidget()->findChildren<QBoxLayout*>();
    for (QBoxLayout* layout : layouts) {
        const int index = layout->indexOf(exportButton);
        if (index >= 0) {
            layout->insertWidget(index + 1, button);
            break;
        }
    }
    QWidget::setTabOrder(exportButton, button);
    QObject::connect(button, &QPushButton::clicked, window,
        [&dm, window] { runGuarded([&dm, window] { ExportRegisterFromWindow(dm, window); }); });
    return button;
}

} // namespace itm::exchange
