#include "exchange/ImportPreview.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace itm::exchange {

namespace {
enum Column
{
    LineColumn,
    CodeColumn,
    StatusColumn,
    MessageColumn,
    ColumnCount
};
} // namespace

QString ImportStatusText(ImportStatus status)
{
    switch (status) {
    case ImportStatus::New:
        return QStringLiteral("nou");
    case ImportStatus::Update:
        return QStringLiteral("actualizat");
    case ImportStatus::Existing:
        return QStringLiteral("existent");
    case ImportStatus::Refused:
        break;
    }
    return QStringLiteral("respins");
}

ImportPreviewModel::ImportPreviewModel(ImportReport report, QObject* parent)
    : QAbstractTableModel(parent)
    , m_report(std::move(report))
{
    if (m_report.fileError) {
        ImportRow fault;
        fault.line = m_report.fileError->line;
        fault.message = m_report.fileError->message;
        m_report.rows.prepend(fault);
    }
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_report.rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const ImportRow& row = m_report.rows.at(index.row());
    switch (index.column()) {
    case LineColumn:
        return row.line;
    case CodeColumn:
        return row.code;
    case StatusColumn:
        return ImportStatusText(row.status);
    case MessageColumn:
        return row.message;
    }
    return {};
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[ColumnCount] = { "Linia", "C.U.I./C.N.P.", "Stare", "Mesaj" };
    return QString::fromLatin1(titles[section]);
}

ImportPreview::ImportPreview(const QString& fileName, const ImportReport& report, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("importPreview"));
    setWindowTitle(QStringLiteral("Import contribuabili - %1").arg(QFileInfo(fileName).fileName()));
    auto* layout = new QVBoxLayout(this);

    const QStringList lines = report.lines();
    auto* summary = new QLabel(lines.constLast(), this);
    summary->setObjectName(QStringLiteral("summary"));
    layout->addWidget(summary);
    if (!report.canWrite()) {
        auto* refused = new QLabel(
            QStringLiteral("Fisierul are linii respinse: nu se importa nimic. Corectati-le si importati din nou."),
            this);
        refused->setObjectName(QStringLiteral("refused"));
        layout->addWidget(refused);
    }

    table = new QTableView(this);
    table->setObjectName(QStringLiteral("rows"));
    table->setModel(new ImportPreviewModel(report, table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    layout->addWidget(table);

    auto* buttons = new QDialogButtonBox(this);
    importButton = buttons->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    importButton->setObjectName(QStringLiteral("importa"));
    cancelButton = buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    importButton->setEnabled(report.canWrite());
    importButton->setDefault(report.canWrite());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    table->setFocus();
    resize(720, 420);
}

} // namespace itm::exchange
