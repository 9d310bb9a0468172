#include "output/TablePages.h"

#include "output/FormFonts.h"

#include <QFontMetricsF>

namespace itm {

namespace {

constexpr int kTitleSize = 12;
constexpr int kTextSize = 8;
constexpr double kRowHeight = 4.2; // millimetres
constexpr double kRuleThickness = 0.2;

double toMillimetres(double units)
{
    return units / UnitsPerMillimetre;
}

// Lines of text in one font, placed row by row from top.
class TextElement
{
public:
    TextElement(QString name, int fontSize, bool bold)
        : m_metrics(FormFontMetrics(fontSize, bold))
    {
        m_element.name = std::move(name);
        m_element.fontSize = fontSize;
        m_element.bold = bold;
        m_element.lineHeight = toMillimetres(m_metrics.ascent() + m_metrics.descent());
    }

    // The text in [left, left + width) at top, cut to the width.
    void add(const QString& text, double left, double width, double top, bool right)
    {
        const double units = width * UnitsPerMillimetre;
        QString shown = text;
        if (m_metrics.horizontalAdvance(shown) > units)
            shown = m_metrics.elidedText(text, Qt::ElideRight, units);
        TextLine line;
        line.text = shown;
        line.width = toMillimetres(m_metrics.horizontalAdvance(shown));
        line.x = right ? left + width - line.width : left;
        line.top = top;
        line.baseline = top + toMillimetres(m_metrics.ascent());
        m_element.lines.append(line);
        m_element.rect = m_element.rect.united(QRectF(left, top, width, m_element.lineHeight));
    }

    LaidOutElement take() { return std::move(m_element); }

private:
    const QFontMetricsF& m_metrics;
    LaidOutElement m_element;
};

} // namespace

QList<PageLayout> LayOutTablePages(const PrintedTable& table)
{
    const double headingHeight = kRowHeight * 1.5 + kRowHeight * table.heading.size() + kRowHeight;
    const double tableTop = headingHeight + kRowHeight * 1.5;
    const int rowsPerPage = int((page::BandHeight - tableTop - kRowHeight) / kRowHeight);
    const qsizetype closingRows = table.closing.size() + 1;
    // The closing lines stay on the page of the last rows.
    qsizetype pageCount = qMax<qsizetype>(1, (table.rows.size() + closingRows + rowsPerPage - 1) / rowsPerPage);

    QList<double> lefts;
    double left = 0;
    for (const double width : table.columnWidths) {
        lefts.append(left);
        left += width;
    }
    const double tableWidth = qMin(left, page::BandWidth);
    constexpr double kCellPadding = 1.0;

    QList<PageLayout> pages;
    qsizetype next = 0;
    for (qsizetype number = 1; number <= pageCount; ++number) {
        PageLayout layout;
        layout.formName = QStringLiteral("tabel");
        double top = 0;
        if (!table.heading.isEmpty()) {
            TextElement title(QStringLiteral("titlu"), kTitleSize, true);
            title.add(table.heading.constFirst(), 0, page::BandWidth, top, false);
            layout.elements.append(title.take());
        }
        top += kRowHeight * 1.8;
        TextElement heading(QStringLiteral("antet"), kTextSize + 1, false);
        for (qsizetype i = 1; i < table.heading.size(); ++i) {
            heading.add(table.heading.at(i), 0, page::BandWidth, top, false);
            top += kRowHeight;
        }
        heading.add(QStringLiteral("Pagina %1 din %2").arg(number).arg(pageCount), 0, page::BandWidth, top, true);
        layout.elements.append(heading.take());

        top = headingHeight;
        TextElement titles(QStringLiteral("coloane"), kTextSize, true);
        for (qsizetype column = 0; column < table.columnTitles.size(); ++column)
            titles.add(table.columnTitles.at(column), lefts.at(column) + kCellPadding,
                table.columnWidths.at(column) - 2 * kCellPadding, top, table.rightAligned.value(column));
        LaidOutElement titleElement = titles.take();
        titleElement.bars = { QRectF(0, top - 0.8, tableWidth, kRuleThickness),
            QRectF(0, top + kRowHeight - 0.2, tableWidth, kRuleThickness) };
        layout.elements.append(titleElement);

        top = tableTop;
        TextElement plain(QStringLiteral("randuri"), kTextSize, false);
        TextElement bold(QStringLiteral("totaluri"), kTextSize, true);
        const qsizetype last = number == pageCount ? table.rows.size() : qMin(table.rows.size(), next + rowsPerPage);
        for (; next < last; ++next) {
            const PrintedTable::Row& row = table.rows.at(next);
            TextElement& element = row.bold ? bold : plain;
            for (qsizetype column = 0; column < row.cells.size() && column < lefts.size(); ++column)
                element.add(row.cells.at(column), lefts.at(column) + kCellPadding,
                    table.columnWidths.at(column) - 2 * kCellPadding, top, table.rightAligned.value(column));
            top += kRowHeight;
        }
        layout.elements.append(plain.take());
        layout.elements.append(bold.take());
        if (number == pageCount) {
            LaidOutElement rule;
            rule.name = QStringLiteral("sfarsit");
            rule.bars = { QRectF(0, top + 0.5, tableWidth, kRuleThickness) };
            layout.elements.append(rule);
            top += kRowHeight;
            TextElement closing(QStringLiteral("incheiere"), kTextSize + 1, true);
            for (const QString& line : table.closing) {
                closing.add(line, 0, page::BandWidth, top, false);
                top += kRowHeight;
            }
            layout.elements.append(closing.take());
        }
        pages.append(layout);
    }
    return pages;
}

} // namespace itm
