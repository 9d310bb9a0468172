#pragma once

#include "output/DeclarationFile.h"

#include <QDialog>
#include <optional>

class QGroupBox;
class QListWidget;
class QPushButton;
class QTimer;

namespace itm {

// The drive dialog: lists the removable and optical drives (kept current every
// half second for the life of the program) and, on saving, merges the
// declaration line into the month's file on the chosen drive, with its copy
// in the folder Rez.
class TfSelDisck : public QDialog
{
    Q_OBJECT
public:
    explicit TfSelDisck(QWidget* parent = nullptr);

    // Set by the caller before each show.
    qint64 Luna = 0;
    qint64 An = 0;
    QString Cui;
    QString Linie;

    // Shows the dialog for the lines of many payers of one month: on saving,
    // they are merged into the month's file on the chosen drive all at once,
    // by the same merge as a single line. Luna and An are set from the
    // arguments; Cui and Linie are not used.
    int execForLines(qint64 luna, qint64 an, const QList<DeclarationEntry>& entries);

    // What the last save wrote, until the next one starts; nothing after a
    // save that failed, was stopped or did not happen.
    struct SavedDeclarationFile
    {
        QString root; // the drive
        QString file; // the declaration file written (its Rez copy beside)
        qsizetype lineCount = 0;
        // "Scris <file> (N linii) si copia din Rez, pe <drive>"
        QString summary() const;
    };
    const std::optional<SavedDeclarationFile>& lastSave() const { return m_lastSave; }

    QGroupBox* GroupBox1;
    QListWidget* lv;
    QPushButton* Button1;
    QTimer* Timer1;

    void Timer1Timer();
    void lvDblClick();
    bool lvKeyDown(QWidget* sender, int key);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();

    void saveOnto(const QString& root, const QString& volume);
    bool isStillMounted(const QString& root, const QString& listedVolume) const;

    QList<DeclarationEntry> m_entries; // while execForLines shows the dialog
    std::optional<SavedDeclarationFile> m_lastSave;

    bool m_saving = false;
};

} // namespace itm
