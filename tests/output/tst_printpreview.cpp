#include "FormRecords.h"
#include "output/PrintedForms.h"
#include "platform/Printing.h"
#include "support/FakePrinting.h"

#include <QApplication>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>

using namespace itm;

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
