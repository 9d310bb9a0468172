#include "app/BackupOnStart.h"

#include "backup/AutomaticBackup.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QTimer>

namespace itm {

namespace {

// A box opened over another modal box or dialog would take the keys meant
// for it; the message waits until the user is back in the main window.
void showWhenNoModal(QObject* context, const QString& text)
{
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(500, context, [context, text] { showWhenNoModal(context, text); });
        return;
    }
    platform().prompts->message(text);
}

} // namespace

void StartAutomaticBackup(QObject* owner, const QString& databasePath, Connection* connection)
{
    auto* backup = new AutomaticBackup(databasePath, connection, owner);
    QObject::connect(backup, &AutomaticBackup::failed, backup, [backup](const QString& problem) {
        showWhenNoModal(backup,
            QStringLiteral("Copia de siguranta a bazei de date nu a putut fi facuta: %1.\n"
                           "Programul functioneaza in continuare; datele nu au fost afectate.")
                .arg(problem));
    });
    backup->start(platform().clock->now());
}

} // namespace itm
