#pragma once

#include <QString>

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

class QtFileChooser : public FileChooser
{
public:
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    QString saveFileName(
        QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) override;
};

} // namespace itm
