#include "exchange/XlsxFile.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
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
    Writer(lxw_worksheet* sheet, lxw_format* bold)
        : m_sheet(sheet)
        , m_bold(bold)
    {
    }

    lxw_error headerCell(int column, const QString& text)
    {
        widen(column, text.size());
        return worksheet_write_string(m_sheet, 0, lxw_col_t(column), text.toUtf8().constData(), m_bold);
    }

    lxw_error cell(lxw_row_t row, int column, const SheetCell& cell)
    {
        const auto col = lxw_col_t(column);
        switch (cell.kind) {
        case SheetCell::Kind::Text:
            widen(column, cell.text.size());
            // An empty text is no cell at all: the column's filter then offers "(empty)".
            if (cell.text.isEmpty())
                return LXW_NO_ERROR;
            return worksheet_write_string(m_sheet, row, col, cell.text.toUtf8().constData(), nullptr);
        case SheetCell::Kind::Number:
            widen(column, int(QString::number(cell.number).size()));
            return worksheet_write_number(m_sheet, row, col, double(cell.number), nullptr);
        case SheetCell::Kind::Formula:
            widen(column, int(QString::number(cell.number).size()));
            return worksheet_write_formula_num(
                m_sheet, row, col, cell.text.toUtf8().constData(), nullptr, double(cell.number));
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
    void widen(int column, qsizetype characters)
    {
        if (column >= m_widths.size())
            m_widths.resize(column + 1);
        m_widths[column] = std::max(m_widths[column], int(characters));
    }

    lxw_worksheet* m_sheet;
    lxw_format* m_bold;
    QVector<int> m_widths;
};

lxw_error writeWorkbook(SheetSource& source, const QString& path, const QString& scratch, QString* error)
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
    if (!sheet)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;

    Writer writer(sheet, bold);
    const QStringList header = source.header();
    for (int column = 0; column < header.size(); ++column) {
        if (const lxw_error failure = writer.headerCell(column, header.at(column)))
            return failure;
    }
    lxw_row_t row = 0;
    SheetRow cells;
    while (source.next(cells)) {
        if (row + 1 >= LXW_ROW_MAX) {
            *error = QStringLiteral("Tabelul are mai multe randuri decat incap intr-o foaie de calcul");
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        }
        ++row;
        for (int column = 0; column < cells.size(); ++column) {
            if (const lxw_error failure = writer.cell(row, column, cells.at(column)))
                return failure;
        }
    }
    worksheet_freeze_panes(sheet, 1, 0);
    if (!header.isEmpty()) {
        if (const lxw_error failure = worksheet_autofilter(sheet, 0, 0, row, lxw_col_t(header.size() - 1)))
            return failure;
    }
    if (const lxw_error failure = writer.setWidths())
        return failure;
    return workbook_close(workbook.release());
}

} // namespace

bool WriteXlsxFile(SheetSource& source, const QString& path, QString* error)
{
    error->clear();
    // The workbook is made in a folder of its own and then copied over the
    // destination in one replacement, so a failure never leaves half a file.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        *error = scratch.errorString();
        return false;
    }
    const QString built = scratch.filePath(QStringLiteral("book.xlsx"));
    if (const lxw_error failure = writeWorkbook(source, built, scratch.path(), error)) {
        if (error->isEmpty())
            *error = xlsxError(failure);
        return false;
    }
    QFile workbook(built);
    QSaveFile destination(path);
    if (!workbook.open(QIODevice::ReadOnly)) {
        *error = workbook.errorString();
        return false;
    }
    if (!destination.open(QIODevice::WriteOnly)) {
        *error = destination.errorString();
        return false;
    }
    while (!workbook.atEnd()) {
        const QByteArray block = workbook.read(1 << 20);
        if (destination.write(block) != block.size())
            break;
    }
    if (!destination.commit()) {
        *error = destination.errorString();
        return false;
    }
    return true;
}

} // namespace itm::exchange
