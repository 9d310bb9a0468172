#pragma once

#include "exchange/PayerImport.h"

#include <QAbstractTableModel>
#include <QDialog>

class QPushButton;
class QTableView;

namespace itm::exchange {

// "nou", "actualizat", "existent", "respins".
QString ImportStatusText(ImportStatus status);

// The rows of an import report as a table: line, code, what happens to the
// row, what is stored (the cleaned name, the county, the locality), and why
// a refused row is refused or what is doubtful about a row. A file that cannot be read at all
// shows its one fault.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ImportPreviewModel(ImportReport report, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ImportReport m_report;
};

// What an import of a file would do, before anything is written: every row
// with its status and message, the counts, and "&Importa" (the default
// button, Enter) only when every row can be written; Escape closes it.
class ImportPreview : public QDialog
{
    Q_OBJECT
public:
    ImportPreview(const QString& fileName, const ImportReport& report, QWidget* parent = nullptr);

    QTableView* table;
    QPushButton* importButton;
    QPushButton* cancelButton;
};

} // namespace itm::exchange
