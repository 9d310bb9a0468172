#include "FormRecords.h"
#include "output/PrintedForms.h"
#include "platform/Printing.h"
#include "support/FakePrinting.h"

#include <QApplication>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
        formrecords::Records records;
        int layouts = 0;
        int layoutsWhileOpen = -1;
        bool wasPreview = false;
        QTimer::singleShot(300, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            wasPreview = qobject_cast<QPrintPreviewDialog*>(modal) != nullptr;
            layoutsWhileOpen = layouts;
            if (modal)
                modal->close();
        });
        QtPrinting printing;
        printing.previewAndPrint(nullptr, [&] {
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
        formrecords::Records records;
        int layouts = 0;
        bool supportsCopies = true;
        QTimer::singleShot(300, this, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
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
            preview->close();
        });
        QtPrinting printing;
        printing.previewAndPrint(nullptr, [&] {
            ++layouts;
            return forms.layOut(PrintedFormChoice::Monthly, records.data());
        });
        QVERIFY(!supportsCopies);
        QCOMPARE(layouts, 1);
        QCOMPARE(pdfPages(pdf), copies);
    }

    void errorOfTheFirstLayoutReachesTheCaller()
    {
        QtPrinting printing;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
            printing.previewAndPrint(nullptr, []() -> PageLayout { throw std::runtime_error("layout failed"); }));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void fakeRecordsRequestsAndPages()
    {
        PrintedForms forms;
        formrecords::Records records;
        test::FakePrinting printing;
        Printing& service = printing;
        QWidget parent;
        service.previewAndPrint(&parent, [&] { return forms.layOut(PrintedFormChoice::Bankruptcy, records.data()); });
        QCOMPARE(printing.requests, 1);
        QCOMPARE(printing.layouts.size(), 2);
        QCOMPARE(printing.lastParent, &parent);
        QCOMPARE(printing.layouts.first().formName, QStringLiteral("TrLun"));
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
