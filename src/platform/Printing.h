#pragma once

#include "output/PageLayout.h"

#include <functional>

class QPrinter;
class QWidget;

namespace itm {

// The print preview service: shows one A4 portrait page in a modal preview
// from which the user prints it on a printer of their choice, with a number
// of copies. layOutPage runs the form's fill step and lays the page out; it is
// called once before the preview opens and again each time the page is drawn
// (in the preview, on paper), so every drawing shows the records as they are.
class Printing
{
public:
    virtual ~Printing() = default;
    // Returns when the preview has been closed. An error raised by the first
    // layout (before the preview opens) reaches the caller.
    virtual void previewAndPrint(QWidget* parent, std::function<PageLayout()> layOutPage) = 0;
};

// Qt's print preview dialog on a high-resolution printer.
class QtPrinting : public Printing
{
public:
    void previewAndPrint(QWidget* parent, std::function<PageLayout()> layOutPage) override;
};

// The printer settings of a declaration: A4 portrait, the whole sheet as the
// painting area (the page places the band itself), one copy, one side, the
// automatic paper bin, all pages.
void PrepareDeclarationPrinter(QPrinter& printer);

// Lays the page out once and paints it on the printer: once when the printer
// makes the copies itself, otherwise (a PDF file, for one) once per copy
// asked for.
void PaintDeclarationCopies(QPrinter& printer, const std::function<PageLayout()>& layOutPage);

} // namespace itm
