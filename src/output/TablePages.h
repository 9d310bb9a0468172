#pragma once

#include "output/PageLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace itm {

// A listing printed as a table on A4 pages: a heading repeated on every page
// (its first line larger and bold) with the page's number, the column titles,
// the rows, and closing lines after the last row.
struct PrintedTable
{
    struct Row
    {
        QStringList cells;
        bool bold = false;
    };
    QStringList heading;
    QStringList columnTitles;
    QList<double> columnWidths; // millimetres, together at most the printable width
    QList<bool> rightAligned;
    QList<Row> rows;
    QStringList closing;
};

// Lays the table out page by page. A cell wider than its column is cut with
// "..." rather than run into the next one. Needs a QGuiApplication.
QList<PageLayout> LayOutTablePages(const PrintedTable& table);

} // namespace itm
