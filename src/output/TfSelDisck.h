#pragma once

#include <QDialog>

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
    bool isStillMounted(const QString& root, const QString& listedVolume) const;

    bool m_saving = false;
};

} // namespace itm
