#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace itm::exchange {

// One cell of a table that is written to a spreadsheet: a text (codes among
// them, so that leading zeros stay), a whole number (amounts, indexes), or a
// formula with the value it gives, for readers that do not calculate.
struct SheetCell
{
    enum class Kind
    {
        Text,
        Number,
        Formula,
    };
    Kind kind = Kind::Text;
    QString text; // the text, or the formula without its "="
    qint64 number = 0; // the number, or the formula's value
    bool amount = false; // a number shown with thousands separators

    static SheetCell Text(const QString& text) { return { Kind::Text, text, 0 }; }
    static SheetCell Number(qint64 number) { return { Kind::Number, QString(), number }; }
    static SheetCell Amount(qint64 number) { return { Kind::Number, QString(), number, true }; }
    static SheetCell Formula(const QString& formula, qint64 value) { return { Kind::Formula, formula, value }; }
    static SheetCell AmountFormula(const QString& formula, qint64 value)
    {
        return { Kind::Formula, formula, value, true };
    }

    // What a CSV file holds for the cell: the text, or the number in digits.
    QString plainText() const { return kind == Kind::Text ? text : QString::number(number); }
};

using SheetRow = QList<SheetCell>;

// A table with a header row, read row by row, as both the workbook and the
// CSV writer take it: a large register is never held whole. Formulas address
// cells the way spreadsheets do (A1 is the first header cell, the first data
// row is row 2).
class SheetSource
{
public:
    virtual ~SheetSource() = default;
    virtual QString title() const = 0; // the worksheet's name
    virtual QStringList header() const = 0;
    // The next data row into row; false after the last.
    virtual bool next(SheetRow& row) = 0;
    // How many data rows there are, for progress; 0 when not known.
    virtual qint64 rowCount() const { return 0; }
    // The last rows that sum up the others (totals): a workbook keeps them
    // out of its filter, so that sorting the table leaves them last. A
    // source with closing rows knows its rowCount().
    virtual int closingRows() const { return 0; }
};

// A table held in memory.
class SheetTable : public SheetSource
{
public:
    SheetTable(QString title, QStringList header, QList<SheetRow> rows = {})
        : m_title(std::move(title))
        , m_header(std::move(header))
        , m_rows(std::move(rows))
    {
    }
    void append(SheetRow row) { m_rows.append(std::move(row)); }
    void setClosingRows(int rows) { m_closingRows = rows; }
    int closingRows() const override { return m_closingRows; }

    QString title() const override { return m_title; }
    QStringList header() const override { return m_header; }
    qint64 rowCount() const override { return m_rows.size(); }
    bool next(SheetRow& row) override
    {
        if (m_next >= m_rows.size())
            return false;
        row = m_rows.at(m_next++);
        return true;
    }

private:
    QString m_title;
    QStringList m_header;
    QList<SheetRow> m_rows;
    qsizetype m_next = 0;
    int m_closingRows = 0;
};

} // namespace itm::exchange
