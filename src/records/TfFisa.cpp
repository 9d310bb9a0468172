#include "records/TfFisa.h"

#include "exchange/ExchangeWindow.h"
#include "output/StatementPages.h"
#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Printing.h"
#include "records/PayerStatement.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace itm {

TfFisa::TfFisa(Connection& connection, qint64 payerId, QWidget* parent)
    : QDialog(parent)
    , m_connection(connection)
    , m_payerId(payerId)
{
    setObjectName(QStringLiteral("fFisa"));
    setWindowTitle(QStringLiteral("Fisa platitorului"));
    setModal(true);

    antet = new QLabel(this);
    antet->setObjectName(QStringLiteral("antet"));
    QFont bold = antet->font();
    bold.setBold(true);
    antet->setFont(bold);
    antet->setTextFormat(Qt::PlainText);
    tabel = new QTableWidget(this);
    tabel->setObjectName(QStringLiteral("tabel"));
    tabel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabel->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabel->setSelectionMode(QAbstractItemView::SingleSelection);
    tabel->setTabKeyNavigation(false);
    tabel->verticalHeader()->hide();
    sold = new QLabel(this);
    sold->setObjectName(QStringLiteral("sold"));
    sold->setFont(bold);
    btnListare = new QPushButton(QStringLiteral("&Listare"), this);
    btnListare->setObjectName(QStringLiteral("btnListare"));
    btnExport = new QPushButton(QStringLiteral("E&xport"), this);
    btnExport->setObjectName(QStringLiteral("btnExport"));
    btnInchide = new QPushButton(QStringLiteral("&Inchide"), this);
    btnInchide->setObjectName(QStringLiteral("btnInchide"));
    auto* hint = new QLabel(
        QStringLiteral("Sageti - muta    Enter - deschide declaratia lunii    Alt+L - listare    Alt+X - export    "
                       "Esc - inchide"),
        this);
    hint->setObjectName(QStringLiteral("hint"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnListare);
    buttons->addWidget(btnExport);
    buttons->addStretch();
    buttons->addWidget(btnInchide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(antet);
    layout->addWidget(tabel, 1);
    layout->addWidget(sold);
    layout->addLayout(buttons);
    layout->addWidget(hint);

    QWidget::setTabOrder(tabel, btnListare);
    QWidget::setTabOrder(btnListare, btnExport);
    QWidget::setTabOrder(btnExport, btnInchide);
    tabel->installEventFilter(this);
    connect(btnListare, &QPushButton::clicked, this, [this] { runGuarded([this] { ListareClick(); }); });
    connect(btnExport, &QPushButton::clicked, this, [this] { runGuarded([this] { ExportClick(); }); });
    connect(btnInchide, &QPushButton::clicked, this, &QDialog::reject);

    fill();
    const QRect screen = parent && parent->screen() ? parent->screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(qMin(980, screen.width() - 24), qMin(620, screen.height() - 40));
}

TfFisa::~TfFisa() = default;

void TfFisa::fill()
{
    const PayerStatement statement = ReadPayerStatement(m_connection, m_payerId);
    m_code = statement.code;
    const QString period = statement.periodText();
    antet->setText(
        QStringLiteral("%1    C.U.I./C.N.P.: %2    Perioada: %3")
            .arg(statement.name, statement.code, period.isEmpty() ? QStringLiteral("fara declaratii") : period));
    sold->setText(QStringLiteral("Sold datorat la zi: %1").arg(statement.balance));
    const QStringList& titles = StatementColumnTitles();
    tabel->setColumnCount(int(titles.size()));
    tabel->setHorizontalHeaderLabels(titles);
    tabel->setRowCount(int(statement.lines.size()));
    m_rowMonths.clear();
    QFont boldFont = tabel->font();
    boldFont.setBold(true);
    QFont versionFont = tabel->font();
    versionFont.setItalic(true);
    for (int row = 0; row < statement.lines.size(); ++row) {
        const StatementLine& line = statement.lines.at(row);
        const QStringList cells = StatementCells(line);
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells.at(column));
            if (IsStatementAmountColumn(column))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (line.kind == StatementLine::YearTotal)
                item->setFont(boldFont);
            else if (line.kind == StatementLine::Version)
                item->setFont(versionFont);
            tabel->setItem(row, column, item);
        }
        std::optional<MonthPeriod> month;
        if (line.kind != StatementLine::YearTotal) {
            // The December 2005 amounts are part of the January 2006 declaration.
            month = line.row.kind == HistoryRow::December2005 ? MonthPeriod { 1, 2006 }
                                                              : MonthPeriod { line.row.month, line.row.year };
        }
        m_rowMonths.append(month);
    }
    // Each column as wide as its widest text, with room to breathe; the free
    // width stays at the right.
    tabel->resizeColumnsToContents();
    for (int column = 0; column < tabel->columnCount(); ++column)
        tabel->setColumnWidth(column, tabel->columnWidth(column) + 16);
    // The latest month first in sight: it is the one asked about most.
    if (tabel->rowCount() > 0) {
        int last = tabel->rowCount() - 1;
        while (last > 0 && !m_rowMonths.at(last))
            --last;
        tabel->setCurrentCell(last, 0);
    }
}

void TfFisa::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Without a window manager nobody activates the window.
    activateWindow();
    tabel->setFocus(Qt::OtherFocusReason);
}

bool TfFisa::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tabel && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            runGuarded([this] { chooseCurrentMonth(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfFisa::chooseCurrentMonth()
{
    const int row = tabel->currentRow();
    if (row < 0 || row >= m_rowMonths.size() || !m_rowMonths.at(row))
        return;
    m_chosen = m_rowMonths.at(row);
    accept();
}

void TfFisa::ListareClick()
{
    const PayerStatement statement = ReadPayerStatement(m_connection, m_payerId);
    const QList<PageLayout> pages = LayOutStatement(statement, platform().clock->today());
    platform().printing->previewAndPrintPages(this, QStringLiteral("Fisa platitorului %1").arg(statement.code),
        int(pages.size()), [&pages](int page) { return pages.at(page); });
}

void TfFisa::ExportClick()
{
    exchange::ExportHistoryFromWindow(m_connection, m_payerId, m_code, this);
}

} // namespace itm
