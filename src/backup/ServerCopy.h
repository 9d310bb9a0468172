#pragma once

#include <QList>
#include <QString>

namespace itm {

class JobProgress;

// How many rows of a table were copied, and found again, in the copy.
struct CopiedTable
{
    QString table;
    qint64 rows = 0;
};

// Copies the register in the SQLite file onto an empty register on a server
// (made by InitServerRegister), in one transaction: every table of the
// register that the file holds, then every row read back from the server and
// compared with the file's. Anything that differs, an error or a cancel
// (JobCancelled) leaves the server register as it was. A register on the
// server that holds payers, declarations or history is refused. Raises Error
// with a message saying why.
QList<CopiedTable> CopyFileToServer(const QString& file, const QString& server, JobProgress& progress);

// Copies a register on a server into a new SQLite file (the tables of the
// set-up), compared row by row with the server's before it is written
// through the atomic writer and checked as a backup is. An existing file is
// refused. Raises Error with a message saying why.
QList<CopiedTable> CopyServerToFile(const QString& server, const QString& file, JobProgress& progress);

} // namespace itm
