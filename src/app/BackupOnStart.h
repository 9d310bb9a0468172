#pragma once

#include <QString>

class QObject;

namespace itm {

class Connection;

// Starts the daily backup of the database in the background, as a child of
// owner (destroying owner, or closing connection, stops it). The copy
// is read through connection, the program's own, so that the program's
// posts go into the copy as they are made instead of starting it over. A backup that fails is shown once, in a
// plain message box, when no other box or dialog is open; the program goes on.
void StartAutomaticBackup(QObject* owner, const QString& databasePath, Connection* connection);

} // namespace itm
