#pragma once

#include "output/PageLayout.h"

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace itm {

// The print preview service: shows one A4 portrait page in a modal preview
// from which the user prints it on a printer of their choice, with a number
// of copies. layOutPage runs the form's fill step and lays the page out; it is
// called once before the preview opens and again each time the page is drawn
// (in the preview, on paper), so every drawing shows the records as they are.
// jobTitle names the print job in the printer's queue.
class Printing
{
public:
    virtual ~Printing() = default;
    // Returns when the preview has been closed. An error raised by the first
    // layout (before the preview opens) reaches the caller.
    virtual void previewAndPrint(QWidget* parent, const QString& jobTitle, std::function<PageLayout()> layOutPage) = 0;
    // Several pages in one preview, page i (0 .. pageCount - 1) laid out by
    // layOutPage(i) each time it is drawn; the first is laid out once before
    // the preview opens.
    virtual void previewAndPrintPages(
        QWidget* parent, const QString& jobTitle, int pageCount, std::function<PageLayout(int page)> layOutPage)
        = 0;
};

// Qt's print preview dialog on a high-resolution printer: large enough for
// its whole toolbar, Ctrl+P prints (through the print dialog), and no
// orientation or page set-up of its own, since the form is always A4 portrait.
class QtPrinting : public Printing
{
public:
    void previewAndPrint(QWidget* parent, const QString& jobTitle, std::function<PageLayout()> layOutPage) override;
    void previewAndPrintPages(QWidget* parent, const QString& jobTitle, int pageCount,
        std::function<PageLayout(int page)> layOutPage) override;
};

// "Declaratie ITM 12345678 03/2006": the print job of one payer's declaration.
QString DeclarationJobTitle(const QString& cui, qint64 month, qint64 year);
// "Declaratii ITM 03/2006": the print job of a month's declarations.
QString MonthJobTitle(qint64 month, qint64 year);
// The same for a period that holds a month and a year.
template <typename Period> QString MonthJobTitle(const Period& period)
{
    return MonthJobTitle(period.month, period.year);
}

// The printer settings of a declaration: A4 portrait, the whole sheet as the
// painting area (the page places the band itself), one copy, one side, the
// automatic paper bin, all pages.
void PrepareDeclarationPrinter(QPrinter& printer);

// Lays the page out once and paints it on the printer: once when the printer
// makes the copies itself, otherwise (a PDF file, for one) once per copy
// asked for. The sheet is A4 portrait whatever paper and orientation the
// printer was set to (its default paper, the preview's buttons).
void PaintDeclarationCopies(QPrinter& printer, const std::function<PageLayout()>& layOutPage);

// Paints pageCount pages, page i laid out by layOutPage(i), once per copy
// when the printer makes no copies itself; A4 portrait as above. A page whose
// records cannot be read stays blank; the others print.
void PaintDeclarationPages(QPrinter& printer, int pageCount, const std::function<PageLayout(int page)>& layOutPage);

} // namespace itm
