#pragma once

#include <QFileDialog>
#include <QString>
#include <memory>

class QWidget;

namespace itm {

// The desktop's file chooser. An empty name means the user cancelled.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // An existing file to read; filter as Qt's file dialogs take it.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
    // A file to write, proposed as suggested; the chooser asks before an
    // existing file is replaced.
    virtual QString saveFileName(
        QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
        = 0;
};

// Qt's file dialog with the program's Romanian texts; a file to write typed
// without an ending gets the first ending of the filter.
class QtFileChooser : public FileChooser
{
public:
    // The dialog as the chooser shows it.
    static std::unique_ptr<QFileDialog> dialog(
        QWidget* parent, const QString& caption, const QString& suggested, const QString& filter, bool save);

    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString saveFileName(
        QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) override;
};

} // namespace itm
