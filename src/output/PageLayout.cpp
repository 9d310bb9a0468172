#include "output/PageLayout.h"

#include "output/FormData.h"
#include "output/FormFonts.h"
#include "output/FormModel.h"
#include "output/ValueDisplay.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>

namespace itm {

const LaidOutElement* PageLayout::find(const QString& name) const
{
    for (const LaidOutElement& element : elements) {
        if (element.name == name)
            return &element;
    }
    return nullptr;
}

QStringList PageLayout::texts() const
{
    QStringList result;
    for (const LaidOutElement& element : elements) {
        for (const TextLine& line : element.lines) {
            if (!line.text.isEmpty())
                result.append(line.text);
        }
    }
    return result;
}

namespace {

double toMillimetres(double units)
{
    return units / UnitsPerMillimetre;
}

double toUnits(double millimetres)
{
    return millimetres * UnitsPerMillimetre;
}

// Words end after a space or a hyphen, which stay with them.
QStringList splitWords(const QString& paragraph)
{
    QStringList words;
    qsizetype start = 0;
    for (qsizetype i = 0; i < paragraph.size(); ++i) {
        if (paragraph.at(i) == u' ' || paragraph.at(i) == u'-') {
            words.append(paragraph.mid(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < paragraph.size())
        words.append(paragraph.mid(start));
    return words;
}

// The longest beginning of word that fits the width.
QString fittingPart(const QString& word, double width, const QFontMetricsF& metrics)
{
    qsizetype length = word.size();
    while (length > 0 && metrics.horizontalAdvance(word.left(length)) > width)
        --length;
    return word.left(length);
}

// Word wrap of one paragraph into the width (layout units).
void wrapParagraph(const QString& paragraph, double width, const QFontMetricsF& metrics, QStringList& lines)
{
    const QStringList words = splitWords(paragraph);
    if (words.isEmpty()) {
        lines.append(QString());
        return;
    }
    QString current;
    for (const QString& word : words) {
        if (!current.isEmpty()) {
            const QString extended = current + word;
            if (metrics.horizontalAdvance(extended) <= width) {
                current = extended;
                continue;
            }
            lines.append(current);
            current.clear();
        }
        if (metrics.horizontalAdvance(word) > width) {
            // A word wider than the element on its own keeps what fits.
            lines.append(fittingPart(word, width, metrics));
            continue;
        }
        current = word;
    }
    if (!current.isEmpty())
        lines.append(current);
}

QStringList paragraphsOf(const QString& text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    return normalised.split(u'\n');
}

void layOutText(const FormElement& element, const QString& text, LaidOutElement& out)
{
    const QFontMetricsF& metrics = FormFontMetrics(element.fontSize, element.bold);
    out.fontSize = element.fontSize;
    out.bold = element.bold;
    out.lineHeight = toMillimetres(metrics.ascent() + metrics.descent());

    QStringList lines;
    const QStringList paragraphs = paragraphsOf(text);
    if (element.autoWidth) {
        lines = paragraphs;
    } else {
        const double width = toUnits(element.width);
        for (const QString& paragraph : paragraphs)
            wrapParagraph(paragraph, width, metrics, lines);
    }
    if (element.noWrap && lines.size() > 1)
        lines = lines.mid(0, 1);

    QList<double> widths;
    widths.reserve(lines.size());
    for (const QString& line : lines)
        widths.append(toMillimetres(metrics.horizontalAdvance(line)));

    // Auto width: the element takes its widest line, anchored by its alignment.
    double left = element.left;
    double width = element.width;
    if (element.autoWidth) {
        width = widths.isEmpty() ? 0.0 : *std::max_element(widths.cbegin(), widths.cend());
        if (element.alignment == Alignment::Right)
            left = element.right() - width;
        else if (element.alignment == Alignment::Centre)
            left = element.left + (element.width - width) / 2;
    }
    out.rect = QRectF(left, element.top, width, element.height);
    out.whiteFill = !element.transparent;

    const double ascent = toMillimetres(metrics.ascent());
    const double lastEnd = element.bottom() + page::LineTolerance;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        TextLine line;
        line.top = element.top + double(i) * out.lineHeight;
        if (line.top + out.lineHeight > lastEnd)
            break;
        line.text = lines.at(i);
        line.width = widths.at(i);
        line.baseline = line.top + ascent;
        switch (element.alignment) {
        case Alignment::Left:
            line.x = left;
            break;
        case Alignment::Right:
            line.x = left + width - line.width;
            break;
        case Alignment::Centre:
            line.x = left + (width - line.width) / 2;
            break;
        }
        out.lines.append(line);
    }
}

// Each side a bar of the given width inside the box along that side.
void layOutBox(const FormElement& element, double targetDpi, LaidOutElement& out)
{
    out.rect = QRectF(element.left, element.top, element.width, element.height);
    const double pixel = targetDpi > 0 ? 25.4 / targetDpi : 0.0;
    const double bar = std::max(element.barWidthPt * page::MillimetresPerPoint, pixel);
    if (element.sides.testFlag(BoxSide::Top))
        out.bars.append(QRectF(element.left, element.top, element.width, bar));
    if (element.sides.testFlag(BoxSide::Bottom))
        out.bars.append(QRectF(element.left, element.bottom() - bar, element.width, bar));
    if (element.sides.testFlag(BoxSide::Left))
        out.bars.append(QRectF(element.left, element.top, bar, element.height));
    if (element.sides.testFlag(BoxSide::Right))
        out.bars.append(QRectF(element.right() - bar, element.top, bar, element.height));
}

} // namespace

PageLayout LayOutPage(const Form& form, const FormData& data, double targetDpi)
{
    PageLayout layout;
    layout.formName = form.className();
    layout.elements.reserve(form.size());
    for (const FormElement& element : form.elements()) {
        if (!element.printed)
            continue;
        LaidOutElement out;
        out.name = element.name;
        if (element.isBox())
            layOutBox(element, targetDpi, out);
        else
            layOutText(element, ElementText(element, data), out);
        layout.elements.append(std::move(out));
    }
    return layout;
}

} // namespace itm
