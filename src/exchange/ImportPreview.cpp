#include "exchange/ImportPreview.h"

#include "widgets/FormBuilder.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace itm::exchange {

namespace {
enum Column
{
    LineColumn,
    CodeColumn,
    StatusColumn,
    NameColumn,
    CountyColumn,
    LocalityColumn,
    MessageColumn,
    ColumnCount
};

const FormCell previewCells[] = {
    { .kind = Control::Label, .name = "summary" },
    { .kind = Control::Label,
        .name = "refused",
        .caption = "Fisierul are linii respinse: nu se importa nimic. Corectati-le si importati din nou.",
        .geometry = { .row = 1 } },
    { .kind = Control::Label, .name = "doubts", .geometry = { .row = 2 } },
    { .kind = Control::Label, .name = "shown", .geometry = { .row = 3 } },
    { .kind = Control::Widget,
        .name = "rows",
        .geometry = { .row = 4 },
        .flags = Grow | GrowDown,
        .create = &makeWidget<QTableView> },
    { .kind = Control::Widget,
        .name = "buttons",
        .geometry = { .row = 5 },
        .flags = Grow,
        .create = &makeWidget<QDialogButtonBox> },
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
    case NameColumn:
        return row.name;
    case CountyColumn:
        return row.county;
    case LocalityColumn:
        return row.locality;
    case MessageColumn:
        return row.message.isEmpty() ? row.warning : row.message;
    }
    return {};
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[ColumnCount]
        = { "Linia", "C.U.I./C.N.P.", "Stare", "Denumire", "Judet", "Localitate", "Mesaj" };
    return QString::fromLatin1(titles[section]);
}

ImportPreview::ImportPreview(const QString& fileName, const ImportReport& report, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("importPreview"));
    setWindowTitle(QStringLiteral("Import contribuabili - %1").arg(QFileInfo(fileName).fileName()));
    const FormControls form = buildForm(this, previewCells, Loose);
    form.get<QLabel>("summary")->setText(report.lines().constLast());
    form.get<QLabel>("refused")->setVisible(!report.canWrite());
    const auto doubts = std::count_if(
        report.rows.cbegin(), report.rows.cend(), [](const ImportRow& row) { return !row.warning.isEmpty(); });
    auto* doubtsLabel = form.get<QLabel>("doubts");
    doubtsLabel->setText(QStringLiteral("Atentie: %1 linii au semnul '?' in mijlocul unui cuvant (vezi Mesaj); "
                                        "verificati fisierul inainte de import.")
                             .arg(doubts));
    doubtsLabel->setVisible(doubts > 0);
    const ImportCounts counts = report.counts();
    const qint64 rowsRead = counts.imported + counts.updated + counts.existing + counts.refused;
    auto* shownLabel = form.get<QLabel>("shown");
    shownLabel->setText(QStringLiteral("Se arata %1 din %2 linii: toate cele respinse si primele %3 celelalte.")
                            .arg(report.rows.size())
                            .arg(rowsRead)
                            .arg(ImportReport::kShownRows));
    shownLabel->setVisible(report.rows.size() < rowsRead);

    table = form.get<QTableView>("rows");
    table->setModel(new ImportPreviewModel(report, table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();

    auto* buttons = form.get<QDialogButtonBox>("buttons");
    importButton = buttons->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    importButton->setObjectName(QStringLiteral("importa"));
    cancelButton = buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    importButton->setEnabled(report.canWrite());
    importButton->setDefault(report.canWrite());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    table->setFocus();
    resize(900, 460);
}

} // namespace itm::exchange
