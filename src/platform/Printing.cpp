#include "platform/Printing.h"

#include "output/PagePainter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <exception>

namespace itm {

void PrepareDeclarationPrinter(QPrinter& printer)
{
    // Margins rounded to whole points would move the page by a tenth of a
    // millimetre: the whole sheet is used and the page offsets itself.
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    printer.setPageLayout(layout);
    printer.setFullPage(true);
    printer.setCopyCount(1);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPaperSource(QPrinter::Auto);
    printer.setPrintRange(QPrinter::AllPages);
}

void PaintDeclarationCopies(QPrinter& printer, const std::function<PageLayout()>& layOutPage)
{
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

void QtPrinting::previewAndPrint(QWidget* parent, std::function<PageLayout()> layOutPage)
{
    // Laid out once before anything is shown: an error stops here, before the
    // preview opens.
    layOutPage();

    QPrinter printer(QPrinter::HighResolution);
    PrepareDeclarationPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowModality(Qt::ApplicationModal);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
        [&layOutPage](QPrinter* target) { PaintDeclarationCopies(*target, layOutPage); });
    preview.exec();
}

} // namespace itm
