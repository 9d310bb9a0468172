#include "output/PrintedForms.h"
#include "platform/Printing.h"
#include "support/FakePrinting.h"
#include "support/SampleRecords.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>

namespace samples = itm::test::samples;

using namespace itm;

namespace {

// Pages of a PDF file, as poppler's pdfinfo counts them; -1 when it cannot.
int pdfPages(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), { path });
    if (!tool.waitForFinished(30000))
        return -1;
    const QString info = QString::fromUtf8(tool.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The size of the first page of a PDF in points, as pdfinfo gives it.
QSizeF pdfPageSize(const QString& path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), { path });
    if (!tool.waitForFinished(30000))
        return {};
    const QString info = QString::fromUtf8(tool.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+))")).match(info);
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

QAction* previewAction(QWidget* preview, const char* text)
{
    for (QAction* action : preview->findChildren<QAction*>()) {
        if (action->text() == QCoreApplication::translate("QPrintPreviewDialog", text))
            return action;
    }
    return nullptr;
}

// Runs action once the modal preview is up and ready, as far as ready says,
// or after five seconds whatever it shows; action gets the preview, or
// nullptr when none came.
void whenThePreviewIsUp(
    QObject* context, const std::function<bool()>& ready, const std::function<void(QPrintPreviewDialog*)>& action)
{
    auto* poll = new QTimer(context);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, context, [=] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        const bool shown = preview && preview->isVisible();
        if (!(shown && ready()) && !waited.hasExpired(5000))
            return;
        poll->stop();
        poll->deleteLater();
        action(shown ? preview : nullptr);
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    poll->start(10);
}

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void printerSettings()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setCopyCount(3);
        printer.setFullPage(false);
        PrepareDeclarationPrinter(printer);
        QVERIFY(printer.fullPage());
        QCOMPARE(printer.copyCount(), 1);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        QCOMPARE(printer.duplex(), QPrinter::DuplexNone);
        QCOMPARE(printer.printRange(), QPrinter::AllPages);
    }

    // The page is laid out before the preview opens and again for the preview;
    // the call returns once the user has closed the modal preview.
    void previewLaysThePageOutEachTime()
    {
        PrintedForms forms;
        samples::PrintRecords records;
        int layouts = 0;
        int layoutsWhileOpen = -1;
        bool wasPreview = false;
        whenThePreviewIsUp(
            this, [&] { return layouts >= 2; },
            [&](QPrintPreviewDialog* preview) {
                wasPreview = preview != nullptr;
                layoutsWhileOpen = layouts;
            });
        QtPrinting printing;
        printing.previewAndPrint(nullptr, QString(), [&] {
            ++layouts;
            return forms.layOut(PrintedFormChoice::Monthly, records.data());
        });
        QVERIFY(wasPreview);
        QVERIFY2(layoutsWhileOpen >= 2, qPrintable(QString::number(layoutsWhileOpen)));
        QCOMPARE(layouts, layoutsWhileOpen);
        QCOMPARE(forms.rLunff().element(QStringLiteral("densus")).caption, QStringLiteral("S.C. ALFA S.R.L."));
    }

    // Printed from the preview to a PDF file, which makes no copies itself:
    // the page comes as many times as asked for, laid out once.
    void copiesArePaintedWhenThePrinterDoesNotMakeThem_data()
    {
        QTest::addColumn<int>("copies");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("three") << 3;
    }
    void copiesArePaintedWhenThePrinterDoesNotMakeThem()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is needed to count the pages");
        QFETCH(int, copies);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
        PrintedForms forms;
        samples::PrintRecords records;
        int layouts = 0;
        bool supportsCopies = true;
        // Once the preview has laid its page out, so that only the print counts.
        whenThePreviewIsUp(
            this, [&] { return layouts >= 2; },
            [&](QPrintPreviewDialog* preview) {
                if (!preview)
                    return;
                QPrinter* printer = preview->printer();
                printer->setOutputFormat(QPrinter::PdfFormat);
                printer->setOutputFileName(pdf);
                printer->setCopyCount(copies);
                supportsCopies = printer->supportsMultipleCopies();
                layouts = 0;
                // What the preview's print button does once the print dialog is accepted.
                if (auto* widget = preview->findChild<QPrintPreviewWidget*>())
                    widget->print();
            });
        QtPrinting printing;
        printing.previewAndPrint(nullptr, QString(), [&] {
            ++layouts;
            return forms.layOut(PrintedFormChoice::Monthly, records.data());
        });
        QVERIFY(!supportsCopies);
        QCOMPARE(layouts, 1);
        QCOMPARE(pdfPages(pdf), copies);
    }

    // A printer whose paper is Letter, or that the preview turned to
    // landscape, still gets the form on A4 portrait: nothing is cut off.
    void theSheetIsA4PortraitWhateverThePrinterWasSetTo_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<QPageLayout::Orientation>("orientation");
        QTest::addColumn<bool>("severalPages");
        QTest::newRow("Letter") << QPageSize::Letter << QPageLayout::Portrait << false;
        QTest::newRow("landscape") << QPageSize::A4 << QPageLayout::Landscape << false;
        QTest::newRow("Letter landscape, month listing") << QPageSize::Letter << QPageLayout::Landscape << true;
    }
    void theSheetIsA4PortraitWhateverThePrinterWasSetTo()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is needed to read the page size");
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(QPageLayout::Orientation, orientation);
        QFETCH(bool, severalPages);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(paper));
        printer.setPageOrientation(orientation);
        PrintedForms forms;
        samples::PrintRecords records;
        const auto layOut = [&] { return forms.layOut(PrintedFormChoice::Monthly, records.data()); };
        if (severalPages)
            PaintDeclarationPages(printer, 2, [&](int) { return layOut(); });
        else
            PaintDeclarationCopies(printer, layOut);
        const QSizeF size = pdfPageSize(pdf);
        QVERIFY2(qAbs(size.width() - 595.28) < 0.5 && qAbs(size.height() - 841.89) < 0.5,
            qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        QVERIFY(printer.fullPage());
    }

    // The preview opens with its whole toolbar in view, offers no
    // orientation of its own, names the job, and Ctrl+P opens the print
    // dialog.
    void previewPrintsFromTheKeyboard()
    {
        PrintedForms forms;
        samples::PrintRecords records;
        QString docName;
        bool orientationOffered = true;
        bool toolbarWhole = false;
        bool fitsTheScreen = false;
        bool printDialogShown = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview || !preview->isVisible())
                return;
            poll.stop();
            docName = preview->printer()->docName();
            orientationOffered = previewAction(preview, "Landscape")->isVisible()
                || previewAction(preview, "Portrait")->isVisible() || previewAction(preview, "Page setup")->isVisible();
            const auto* toolbar = preview->findChild<QToolBar*>();
            toolbarWhole = toolbar && toolbar->width() >= toolbar->sizeHint().width();
            fitsTheScreen = preview->screen()->availableGeometry().contains(preview->frameGeometry());
            QTimer::singleShot(0, preview, [&] {
                auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                printDialogShown = dialog != nullptr;
                if (dialog)
                    dialog->reject();
            });
            QApplication::setActiveWindow(preview);
            QTest::keyClick(preview, Qt::Key_P, Qt::ControlModifier);
            preview->close();
        });
        poll.start();
        QtPrinting printing;
        printing.previewAndPrint(nullptr, QStringLiteral("Declaratie ITM 19 03/2006"),
            [&] { return forms.layOut(PrintedFormChoice::Monthly, records.data()); });
        QCOMPARE(docName, QStringLiteral("Declaratie ITM 19 03/2006"));
        QVERIFY(!orientationOffered);
        QVERIFY(toolbarWhole);
        QVERIFY(fitsTheScreen);
        QVERIFY(printDialogShown);
    }

    void jobTitles()
    {
        QCOMPARE(DeclarationJobTitle(QStringLiteral("12345678"), 3, 2006),
            QStringLiteral("Declaratie ITM 12345678 03/2006"));
        QCOMPARE(MonthJobTitle(12, 2007), QStringLiteral("Declaratii ITM 12/2007"));
    }

    void errorOfTheFirstLayoutReachesTheCaller()
    {
        QtPrinting printing;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, printing.previewAndPrint(nullptr, QString(), []() -> PageLayout {
            throw std::runtime_error("layout failed");
        }));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
