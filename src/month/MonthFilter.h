#pragma once

#include "month/MonthColumns.h"
#include "month/MonthListing.h"

#include <QString>
#include <QVector>

namespace itm {

class MonthPayerTable;

// A text as the month filter compares it: letters in upper case, diacritics
// dropped ("Ştefan" and "stefan" both give "STEFAN"), a run of blanks one blank.
QString FoldForSearch(const QString& text);

enum class StatusFilter
{
    All,
    Declared,
    NotDeclared,
};

// The rows the user asked to see: those whose code or composed legal name
// contains the typed text (letter case and diacritics ignored), among all
// payers, the declared ones or the others.
class MonthFilter
{
public:
    MonthFilter() = default;
    MonthFilter(const QString& text, StatusFilter status);

    bool matches(const MonthRow& row) const;
    bool matches(const MonthPayerTable& rows, qsizetype position) const;
    // Every row this filter lets through, previous let through as well: the
    // rows shown may be narrowed instead of searched again.
    bool narrows(const MonthFilter& previous) const;
    bool isEmpty() const { return m_text.isEmpty() && m_status == StatusFilter::All; }

private:
    QString m_text; // folded
    QByteArray m_textUtf8; // the same, as the compact table holds texts
    StatusFilter m_status = StatusFilter::All;
};

// Positions of rows[first..] that the filter lets through, appended to shown.
void AppendMatching(QVector<int>& shown, const QVector<MonthRow>& rows, qsizetype first, const MonthFilter& filter);
// The positions of shown that still pass a narrower filter.
QVector<int> NarrowedRows(const QVector<int>& shown, const QVector<MonthRow>& rows, const MonthFilter& filter);

// The same over a compact table.
void AppendMatching(QVector<int>& shown, const MonthPayerTable& rows, qsizetype first, const MonthFilter& filter);
QVector<int> NarrowedRows(const QVector<int>& shown, const MonthPayerTable& rows, const MonthFilter& filter);

// Orders positions of rows by a column; rows that compare equal stay in
// payer-code order (the rows' own order). A payer without a declaration has
// no amounts and sorts before every amount.
void SortMonthRows(QVector<int>& positions, const QVector<MonthRow>& rows, MonthColumn column, bool descending);
void SortMonthRows(QVector<int>& positions, const MonthPayerTable& rows, MonthColumn column, bool descending);

} // namespace itm
