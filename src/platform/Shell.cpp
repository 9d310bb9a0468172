#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace itm {

void QtShell::openDocument(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)));
}

} // namespace itm
