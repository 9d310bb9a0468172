#include "exchange/ExchangeWindow.h"

#include "exchange/MonthSheet.h"

#include "exchange/ImportPreview.h"
#include "exchange/PayerImport.h"
#include "exchange/RegisterSheet.h"
#include "exchange/SheetFile.h"
#include "platform/FileChooser.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Tdm.h"

#include <QFile>

namespace itm::exchange {

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
        platform().prompts->message(
            QStringLiteral("Fisierul %1 nu poate fi citit: %2").arg(fileName, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    bool written = false;
    runGuarded([&] {
        PayerImport payerImport(dm);
        const ImportReport preview = payerImport.check(bytes, false);
        ImportPreview dialog(fileName, preview, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const ImportReport report = payerImport.run(bytes, false);
        written = report.written;
        platform().prompts->message(report.lines().constLast());
    });
    return written;
}

bool ExportRegisterFromWindow(Tdm& dm, QWidget* parent)
{
    const QString fileName = platform().files->saveFileName(parent, QStringLiteral("Export registru contribuabili"),
        QStringLiteral("contribuabili.xlsx"), QStringLiteral("Registru (*.xlsx *.csv)"));
    if (fileName.isEmpty())
        return false;
    const auto format = SheetFormatOfPath(fileName);
    if (!format) {
        platform().prompts->message(QStringLiteral("Numele fisierului trebuie sa se termine in .xlsx sau .csv"));
        return false;
    }
    bool written = false;
    runGuarded([&] {
        RegisterSheet payers(
            dm.con, *format == SheetFormat::Csv ? RegisterColumns::PayerFile : RegisterColumns::Everything);
        QString failure;
        written = WriteSheetFile(payers, fileName, &failure);
        platform().prompts->message(written
                ? QStringLiteral("Registrul a fost scris in %1").arg(fileName)
                : QStringLiteral("Fisierul %1 nu poate fi scris: %2").arg(fileName, failure));
    });
    return written;
}

bool ExportMonthFromWindow(Tdm& dm, const MonthPeriod& period, QWidget* parent)
{
    const QString fileName = platform().files->saveFileName(parent, QStringLiteral("Export situatia lunii"),
        QStringLiteral("situatia-%1-%2.xlsx").arg(period.year).arg(period.month, 2, 10, QLatin1Char('0')),
        QStringLiteral("Situatia lunii (*.xlsx *.csv)"));
    if (fileName.isEmpty())
        return false;
    if (!SheetFormatOfPath(fileName)) {
        platform().prompts->message(QStringLiteral("Numele fisierului trebuie sa se termine in .xlsx sau .csv"));
        return false;
    }
    bool written = false;
    runGuarded([&] {
        QString failure;
        written = WriteMonthFile(ReadMonthListing(dm.con, period), period, fileName, &failure);
        platform().prompts->message(written
                ? QStringLiteral("Situatia lunii a fost scrisa in %1").arg(fileName)
                : QStringLiteral("Fisierul %1 nu poate fi scris: %2").arg(fileName, failure));
    });
    return written;
}

} // namespace itm::exchange
