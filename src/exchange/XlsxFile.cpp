#include "exchange/XlsxFile.h"

#include "exchange/CellText.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"

#include <QFileInfo>
#include <QVector>
#include <xlsxwriter.h>

#include <algorithm>

namespace itm::exchange {

namespace {

// Widths in characters of the default font; a long name or address still
// leaves the next columns on the screen.
constexpr int kNarrowestColumn = 6;
constexpr int kWidestColumn = 60;

struct WorkbookCloser
{
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

QString xlsxError(lxw_error code)
{
    return QStringLiteral("Fisierul nu poate fi scris: %1").arg(QString::fromUtf8(lxw_strerror(code)));
}

// A worksheet name holds at most 31 characters and none of []:*?/\.
QByteArray sheetName(const QString& title)
{
    QString name = title.left(31);
    for (QChar& c : name) {
        if (QStringView(u"[]:*?/\\").contains(c))
            c = u' ';
    }
    return name.isEmpty() ? QByteArray("Foaie1") : name.toUtf8();
}

class Writer
{
public:
    Writer(lxw_worksheet* sheet, lxw_format* bold, lxw_format* amount)
        : m_sheet(sheet)
        , m_bold(bold)
        , m_amount(amount)
    {
    }

    lxw_error headerCell(int column, const QString& text)
    {
        widen(column, text.size());
        return worksheet_write_string(m_sheet, 0, lxw_col_t(column), text.toUtf8().constData(), m_bold);
    }

    // Every text is written as a string: a cell of the workbook is never a
    // formula unless the table makes it one (its totals).

    lxw_error cell(lxw_row_t row, int column, const SheetCell& cell)
    {
        const auto col = lxw_col_t(column);
        switch (cell.kind) {
        case SheetCell::Kind::Text:
            widen(column, cell.text.size());
            // An empty text is no cell at all: the column's filter then offers "(empty)".
            if (cell.text.isEmpty())
                return LXW_NO_ERROR;
            return worksheet_write_string(
                m_sheet, row, col, LettersOfStoredText(cell.text).toUtf8().constData(), nullptr);
        case SheetCell::Kind::Number:
            widen(column, numberWidth(cell));
            return worksheet_write_number(m_sheet, row, col, double(cell.number), formatOf(cell));
        case SheetCell::Kind::Formula:
            widen(column, numberWidth(cell));
            return worksheet_write_formula_num(
                m_sheet, row, col, cell.text.toUtf8().constData(), formatOf(cell), double(cell.number));
        }
        return LXW_NO_ERROR;
    }

    lxw_error setWidths()
    {
        for (int column = 0; column < m_widths.size(); ++column) {
            const double width = std::clamp(m_widths.at(column) + 2, kNarrowestColumn, kWidestColumn);
            if (const lxw_error error
                = worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr))
                return error;
        }
        return LXW_NO_ERROR;
    }

private:
    lxw_format* formatOf(const SheetCell& cell) const { return cell.amount ? m_amount : nullptr; }

    // An amount's digits and its separators.
    static int numberWidth(const SheetCell& cell)
    {
        const int digits = int(QString::number(cell.number).size());
        return cell.amount ? digits + digits / 3 : digits;
    }

    void widen(int column, qsizetype characters)
    {
        if (column >= m_widths.size())
            m_widths.resize(column + 1);
        m_widths[column] = std::max(m_widths[column], int(characters));
    }

    lxw_worksheet* m_sheet;
    lxw_format* m_bold;
    lxw_format* m_amount;
    QVector<int> m_widths;
};

// The page set-up for printing the table: A4 landscape, as wide as one page,
// the header row on every page.
lxw_error setUpPages(lxw_worksheet* sheet)
{
    constexpr uint8_t kA4 = 9;
    worksheet_set_paper(sheet, kA4);
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    return worksheet_repeat_rows(sheet, 0, 0);
}

lxw_error writeWorkbook(
    SheetSource& source, const QString& path, const QString& scratch, QString* error, JobProgress* progress)
{
    const QByteArray scratchPath = scratch.toUtf8();
    lxw_workbook_options options {};
    // Rows go to the file as they are written: a register of any size costs
    // the memory of one row.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(scratchPath.constData());
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new_opt(path.toUtf8().constData(), &options));
    if (!workbook) {
        *error = QStringLiteral("Fisierul nu poate fi creat");
        return LXW_ERROR_CREATING_XLSX_FILE;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), sheetName(source.title()).constData());
    lxw_format* bold = workbook_add_format(workbook.get());
    format_set_bold(bold);
    lxw_format* amount = workbook_add_format(workbook.get());
    format_set_num_format(amount, "#,##0");
    if (!sheet || !bold || !amount)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (const lxw_error failure = setUpPages(sheet))
        return failure;

    Writer writer(sheet, bold, amount);
    const QStringList header = source.header();
    for (int column = 0; column < header.size(); ++column) {
        if (const lxw_error failure = writer.headerCell(column, header.at(column)))
            return failure;
    }
    // The filter covers the header and the data rows, not the closing ones;
    // the library, writing row by row, takes it before the rows after it.
    const qint64 closingRows = source.closingRows() > 0 ? std::min<qint64>(source.closingRows(), source.rowCount()) : 0;
    const qint64 firstClosingRow = source.rowCount() - closingRows + 1;
    bool filtered = header.isEmpty();
    auto setFilter = [&](lxw_row_t lastRow) {
        filtered = true;
        return worksheet_autofilter(sheet, 0, 0, lastRow, lxw_col_t(header.size() - 1));
    };
    lxw_row_t row = 0;
    SheetRow cells;
    while (source.next(cells)) {
        if (row + 1 >= LXW_ROW_MAX) {
            *error = TooManyRowsText();
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        }
        ++row;
        if (!filtered && closingRows > 0 && qint64(row) == firstClosingRow) {
            if (const lxw_error failure = setFilter(row - 1))
                return failure;
        }
        for (int column = 0; column < cells.size(); ++column) {
            if (const lxw_error failure = writer.cell(row, column, cells.at(column)))
                return failure;
        }
        if (progress) {
            progress->advance();
            progress->checkCancelled();
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);
    if (!filtered) {
        if (const lxw_error failure = setFilter(row))
            return failure;
    }
    if (const lxw_error failure = writer.setWidths())
        return failure;
    return workbook_close(workbook.release());
}

} // namespace

static_assert(kXlsxDataRowLimit + 1 == LXW_ROW_MAX);

QString TooManyRowsText()
{
    return QStringLiteral("Tabelul are mai multe randuri decat incap intr-o foaie de calcul (1.048.576 randuri, cu "
                          "capul de tabel); exportati intr-un fisier .csv");
}

bool WriteXlsxFile(SheetSource& source, const QString& path, QString* error, JobProgress* progress)
{
    error->clear();
    // A table known to be too long is refused before a row is written, not
    // after a million of them.
    if (source.rowCount() > kXlsxDataRowLimit) {
        *error = TooManyRowsText();
        return false;
    }
    // The library writes the workbook by name: into the atomic writer's
    // temporary file, which then replaces the destination whole.
    AtomicFile file(path);
    if (!file.open()) {
        *error = file.errorString();
        return false;
    }
    file.releaseDevice();
    // The library's own scratch files go beside the workbook, on the same medium.
    const QString scratch = QFileInfo(file.temporaryPath()).absolutePath();
    if (const lxw_error failure = writeWorkbook(source, file.temporaryPath(), scratch, error, progress)) {
        if (error->isEmpty())
            *error = xlsxError(failure);
        return false;
    }
    if (progress)
        progress->setCancellable(false);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace itm::exchange
