#include "platform/FileChooser.h"

#include <QFileDialog>

namespace itm {

QString QtFileChooser::openFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString QtFileChooser::saveFileName(
    QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

} // namespace itm
