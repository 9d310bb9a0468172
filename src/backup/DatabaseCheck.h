#pragma once

#include "store/RegisterSchema.h"

#include <QString>
#include <QtGlobal>

namespace itm {

enum class CheckDepth
{
    // A copy that was checked when it was made, listed: it opens and holds
    // the three tables, without reading every page (seconds for a large register).
    Summary,
    // A copy just made: SQLite's quick check and the three tables.
    Tables,
    // A file about to become the database: also every column the program
    // reads and writes, and no object beyond the program's own schema (no
    // view, trigger or table of another program, nothing that could act on
    // the register when it is written).
    Columns
};

// KnownSchemaVersion: the schema version of the databases this program knows.

struct DatabaseCheck
{
    bool passed = false;
    QString problem; // why it failed, a sentence in the user's language
    qint64 payers = 0;
    qint64 declarations = 0;
    qint64 schemaVersion = 0; // user_version
};

// Checks the SQLite file at path without changing it: that it opens as a
// database, passes PRAGMA quick_check (except at CheckDepth::Summary) and holds the tables firme, declaratii
// and judete (with their columns and nothing else at CheckDepth::Columns). A
// passed check counts the payers and the declarations.
DatabaseCheck CheckDatabaseFile(const QString& path, CheckDepth depth);

} // namespace itm
