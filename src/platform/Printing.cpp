#include "platform/Printing.h"

#include "output/PagePainter.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

#include <exception>

namespace itm {

namespace {

// Margins rounded to whole points would move the page by a tenth of a
// millimetre: the whole sheet is used and the page offsets itself.
void setDeclarationSheet(QPrinter& printer)
{
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    printer.setPageLayout(layout);
    printer.setFullPage(true);
}

// The preview's own actions, known by their texts (translated as the preview
// translates them).
bool isPreviewAction(const QAction* action, const char* text)
{
    return action->text() == QCoreApplication::translate("QPrintPreviewDialog", text);
}

void setUpPreview(QPrintPreviewDialog& preview, const QString& jobTitle)
{
    preview.setWindowModality(Qt::ApplicationModal);
    preview.printer()->setDocName(jobTitle);
    for (QAction* action : preview.findChildren<QAction*>()) {
        // The form is A4 portrait on every printer: a landscape page or
        // another paper would cut it, and the sheet is set anew at every
        // drawing anyway.
        if (isPreviewAction(action, "Portrait") || isPreviewAction(action, "Landscape")
            || isPreviewAction(action, "Page setup"))
            action->setVisible(false);
        if (isPreviewAction(action, "Print")) {
            action->setShortcut(QKeySequence::Print);
            action->setToolTip(
                QStringLiteral("Tiparire (%1)").arg(action->shortcut().toString(QKeySequence::NativeText)));
        }
    }
    // Large enough to show the whole toolbar (the print button included) and
    // much of the page, within the screen.
    int toolbarWidth = 0;
    for (const QToolBar* toolbar : preview.findChildren<QToolBar*>())
        toolbarWidth = qMax(toolbarWidth, toolbar->sizeHint().width());
    const QScreen* screen
        = preview.parentWidget() ? preview.parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Room for the frame that the window manager adds.
    const int width = qMin(qMax(toolbarWidth + 24, 800), available.width() - 16);
    const int height = qMin(1000, available.height() - 48);
    preview.resize(width, height);
}

} // namespace

QString DeclarationJobTitle(const QString& cui, qint64 month, qint64 year)
{
    return QStringLiteral("Declaratie ITM %1 %2").arg(cui, QString::asprintf("%02lld/%04lld", month, year));
}

QString MonthJobTitle(qint64 month, qint64 year)
{
    return QStringLiteral("Declaratii ITM %1").arg(QString::asprintf("%02lld/%04lld", month, year));
}

void PrepareDeclarationPrinter(QPrinter& printer)
{
    setDeclarationSheet(printer);
    printer.setCopyCount(1);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPaperSource(QPrinter::Auto);
    printer.setPrintRange(QPrinter::AllPages);
}

void PaintDeclarationCopies(QPrinter& printer, const std::function<PageLayout()>& layOutPage)
{
    // The printer chosen in the print dialog brings its own default paper.
    setDeclarationSheet(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    // Nothing may escape into the event loop; the fill step and the layout
    // print what they cannot show as empty and do not throw.
    try {
        const PageLayout page = layOutPage();
        const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
        for (int copy = 0; copy < copies; ++copy) {
            if (copy > 0)
                printer.newPage();
            PaintPage(painter, page);
        }
    } catch (const std::exception&) {
    }
    painter.end();
}

void PaintDeclarationPages(QPrinter& printer, int pageCount, const std::function<PageLayout(int page)>& layOutPage)
{
    setDeclarationSheet(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    // A printer that makes no copies itself gets the whole run once per copy,
    // in order, as the single page is.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    for (int copy = 0; copy < copies; ++copy) {
        for (int page = 0; page < pageCount; ++page) {
            if (copy > 0 || page > 0)
                printer.newPage();
            try {
                PaintPage(painter, layOutPage(page));
            } catch (const std::exception&) {
                // A page whose records cannot be read stays blank; the others print.
            }
        }
    }
    painter.end();
}

void QtPrinting::previewAndPrint(QWidget* parent, const QString& jobTitle, std::function<PageLayout()> layOutPage)
{
    // Laid out once before anything is shown: an error stops here, before the
    // preview opens.
    layOutPage();

    QPrinter printer(QPrinter::HighResolution);
    PrepareDeclarationPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    setUpPreview(preview, jobTitle);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
        [&layOutPage](QPrinter* target) { PaintDeclarationCopies(*target, layOutPage); });
    preview.exec();
}

void QtPrinting::previewAndPrintPages(
    QWidget* parent, const QString& jobTitle, int pageCount, std::function<PageLayout(int page)> layOutPage)
{
    if (pageCount <= 0)
        return;
    layOutPage(0);

    QPrinter printer(QPrinter::HighResolution);
    PrepareDeclarationPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    setUpPreview(preview, jobTitle);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
        [pageCount, &layOutPage](QPrinter* target) { PaintDeclarationPages(*target, pageCount, layOutPage); });
    preview.exec();
}

} // namespace itm
