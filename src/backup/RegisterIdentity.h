#pragma once

#include <QString>
#include <QtGlobal>

namespace itm {

// Which register a database file is: a number drawn at random once per
// register and kept in the file's header (SQLite's application id), so that
// every copy made page by page carries it and a copy of another register is
// told from one of this register before it is restored. 0: none made yet.
quint32 ReadRegisterIdentity(const QString& databasePath);

// The database's identity, given to it first when it has none. A database
// that cannot be written now (read-only, busy) keeps none until a later
// attempt (0); nothing else in it changes.
quint32 EnsureRegisterIdentity(const QString& databasePath);

// Writes identity into a copy just made (not yet flushed); false when it cannot.
bool WriteRegisterIdentity(const QString& copyPath, quint32 identity);

} // namespace itm
