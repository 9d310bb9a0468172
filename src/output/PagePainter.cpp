#include "output/PagePainter.h"

#include "output/FormFonts.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"

#include <QIODevice>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace itm {

namespace {

QRectF toUnits(const QRectF& millimetres)
{
    return QRectF(millimetres.x() * UnitsPerMillimetre, millimetres.y() * UnitsPerMillimetre,
        millimetres.width() * UnitsPerMillimetre, millimetres.height() * UnitsPerMillimetre);
}

// A bar keeps at least one device pixel across.
QRectF atLeastOnePixel(QRectF bar, double pixelX, double pixelY)
{
    if (bar.width() < pixelX)
        bar.setWidth(pixelX);
    if (bar.height() < pixelY)
        bar.setHeight(pixelY);
    return bar;
}

} // namespace

void PaintPage(QPainter& painter, const PageLayout& layout)
{
    const QPaintDevice* device = painter.device();
    const double dpiX = device ? device->logicalDpiX() : LayoutDpi;
    const double dpiY = device ? device->logicalDpiY() : LayoutDpi;
    // The painter works in layout units; a font set for the device is sized so
    // that its pixel size in those units is the one the text was measured with.
    const double fontScale = LayoutDpi / dpiY;
    const double pixelX = LayoutDpi / dpiX;
    const double pixelY = LayoutDpi / dpiY;

    painter.save();
    painter.scale(dpiX / LayoutDpi, dpiY / LayoutDpi);
    painter.translate(page::BandLeft * UnitsPerMillimetre, page::BandTop * UnitsPerMillimetre);
    painter.setPen(Qt::NoPen);
    painter.fillRect(toUnits(QRectF(0, 0, page::BandWidth, page::BandHeight)), Qt::white);

    for (const LaidOutElement& element : layout.elements) {
        if (element.whiteFill)
            painter.fillRect(toUnits(element.rect), Qt::white);
        for (const QRectF& bar : element.bars)
            painter.fillRect(atLeastOnePixel(toUnits(bar), pixelX, pixelY), Qt::black);
        if (element.lines.isEmpty())
            continue;
        painter.setFont(FormFont(element.fontSize * fontScale, element.bold));
        painter.setPen(Qt::black);
        for (const TextLine& line : element.lines) {
            if (!line.text.isEmpty())
                painter.drawText(QPointF(line.x * UnitsPerMillimetre, line.baseline * UnitsPerMillimetre), line.text);
        }
        painter.setPen(Qt::NoPen);
    }
    painter.restore();
}

namespace {

// Fills in the reason a file could not be written, naming it.
bool cannotWrite(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = reason.isEmpty() ? QStringLiteral("cannot write %1").arg(path)
                                  : QStringLiteral("cannot write %1: %2").arg(path, reason);
    return false;
}

} // namespace

bool WritePdf(const QString& path, const QList<PageLayout>& pages, QString* error, JobProgress* progress)
{
    if (pages.isEmpty()) {
        if (error)
            *error = QStringLiteral("no page to write");
        return false;
    }
    // The painter does not report a write that the medium refused: the pages
    // go into a temporary file whose every write is checked when it replaces
    // the old one, so a full medium leaves the old file whole.
    AtomicFile file(path);
    if (!file.open())
        return cannotWrite(error, path, file.errorString());
    {
        QPdfWriter writer(file.device());
        writer.setCreator(QStringLiteral("itm-declaratie"));
        writer.setTitle(QStringLiteral("Declaratie fiscala ITM"));
        writer.setResolution(1200);
        QPageLayout pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter);
        pageLayout.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(pageLayout);

        QPainter painter;
        if (!painter.begin(&writer))
            return cannotWrite(error, path, QString());
        if (progress) {
            progress->setStep(QStringLiteral("Se scrie %1").arg(path));
            progress->setTotal(pages.size());
        }
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (progress) {
                progress->checkCancelled();
                progress->setDone(i);
            }
            if (i > 0)
                writer.newPage();
            PaintPage(painter, pages.at(i));
        }
        if (progress)
            progress->setCancellable(false);
        if (!painter.end())
            return cannotWrite(error, path, file.device()->errorString());
    }
    if (!file.commit())
        return cannotWrite(error, path, file.errorString());
    return true;
}

bool RenderPng(const QString& path, const PageLayout& layout, int dpi, QString* error)
{
    if (dpi < 10 || dpi > 1200) {
        if (error)
            *error = QStringLiteral("resolution %1 dpi is outside 10..1200").arg(dpi);
        return false;
    }
    const QSize size(qRound(page::Width / 25.4 * dpi), qRound(page::Height / 25.4 * dpi));
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        PaintPage(painter, layout);
    }
    AtomicFile file(path);
    if (!file.open())
        return cannotWrite(error, path, file.errorString());
    if (!image.save(file.device(), "PNG"))
        return cannotWrite(error, path, file.device()->errorString());
    if (!file.commit())
        return cannotWrite(error, path, file.errorString());
    return true;
}

} // namespace itm
