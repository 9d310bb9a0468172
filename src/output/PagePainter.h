#pragma once

#include "output/PageLayout.h"

#include <QList>
#include <QString>

class QPainter;

namespace itm {
class JobProgress;
}

namespace itm {

// Paints a laid-out page on the painter's device, which must span the whole
// sheet (a full-page printer or PDF writer, or an A4 image): the band origin
// is placed 12.7 mm from the left and 10 mm from the top edge. Works at any
// resolution; text keeps the widths it was laid out with.
void PaintPage(QPainter& painter, const PageLayout& layout);

// Writes one A4 portrait page per layout into a PDF file. False, with the
// reason in error, when the file cannot be written. progress, when given,
// counts the pages painted and may stop the work (JobCancelled), leaving the
// old file as it was.
bool WritePdf(
    const QString& path, const QList<PageLayout>& pages, QString* error = nullptr, JobProgress* progress = nullptr);

// Renders a page into a PNG image of the whole sheet at dpi dots per inch.
bool RenderPng(const QString& path, const PageLayout& layout, int dpi, QString* error = nullptr);

} // namespace itm
