#pragma once

#include <QString>

class QObject;

namespace itm {

// Starts the daily backup of the database in the background, as a child of
// owner (destroying owner stops it). A backup that fails is shown once, in a
// plain message box, when no other box or dialog is open; the program goes on.
void StartAutomaticBackup(QObject* owner, const QString& databasePath);

} // namespace itm
