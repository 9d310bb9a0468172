#pragma once

#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace itm {

// "Copii de siguranta": the copies of the open register, newest first, with
// the time each was made, its size, its payers and declarations and its
// check; a copy made now (F2), and a copy chosen for restoring (Enter, after
// a confirmation). Reading the list and making a copy run as jobs. The
// restore itself is the program's: the window closes and hands the chosen
// copy back (chosenRestore), and the program closes the register, restores
// it and opens it again. Escape closes the window.
class TfCopii : public QDialog
{
    Q_OBJECT
public:
    explicit TfCopii(const QString& databasePath, QWidget* parent = nullptr);
    ~TfCopii() override;

    // Reads the copies and their checks again, as a job.
    void reload();
    void copieClick();
    void restaurareClick();

    // The copy to restore, once the window has closed with one chosen.
    const std::optional<QString>& chosenRestore() const { return m_chosen; }

    QTableWidget* tabel;
    QPushButton* btnCopie;
    QPushButton* btnRestaurare;
    QPushButton* btnInchide;
    QLabel* hint;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row
    {
        BackupEntry backup;
        std::optional<DatabaseCheck> check; // none when the reading was stopped first
    };
    void showRows(const QList<Row>& rows, const QString& selectPath);

    QString m_databasePath;
    QList<Row> m_rows;
    std::optional<QString> m_chosen;
    bool m_loaded = false;
};

} // namespace itm
