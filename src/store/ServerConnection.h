#pragma once

#include <QString>

namespace itm {

// Whether a register's location (--db, data/server) names a register on a
// PostgreSQL server rather than a file: a URI (postgresql://, postgres://) or
// a libpq connection string whose first word is one of libpq's keywords
// (service=itm, host=... dbname=...). Anything else is a file path.
bool IsServerConnection(const QString& location);

// A server's location as shown to the user: its parts (service, host, port,
// database, user) without the password that a connection string may hold.
QString ServerForDisplay(const QString& location);

// The location written in the work folder's data/server (its first line,
// blanks trimmed), or an empty text when the file is not there or holds no
// connection. workFolder is the folder holding data/.
QString ServerConnectionOfWorkFolder(const QString& workFolder);

// What is wrong with the work folder's data/server, as a message for the
// user: empty when there is no such file or its first line names a server.
// A file that is there but names none must stop the program and itm-cli:
// falling back to the local data/date.itm unseen would put an office's work
// into a register nobody else sees.
QString ServerFileProblem(const QString& workFolder);

// The register the program opens in a work folder: the server named in
// data/server when there is one, otherwise the file data/date.itm.
QString RegisterOfWorkFolder(const QString& workFolder);

} // namespace itm
