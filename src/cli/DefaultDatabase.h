#pragma once

#include <QString>

class QTextStream;

namespace itm::cli {

// The database a command works on when --db is not given, in this order:
// the server named in ./data/server, ./data/date.itm where the current folder
// holds one (the program's work folder, or a copy of one), otherwise the
// register of the user work folder that the desktop launcher prepares (its
// data/server, else its data/date.itm),
// ${XDG_DATA_HOME:-$HOME/.local/share}/itm-declaratie/data/date.itm.
// Taking the second is said on err, once a run, so that a script started in
// the wrong folder shows which register it changed.
QString DefaultDatabasePath(const QString& command, QTextStream& err);

// The user work folder's database, or an empty text where neither
// XDG_DATA_HOME nor HOME is set.
QString UserWorkFolderDatabase();

} // namespace itm::cli
