#pragma once

#include "store/Connection.h"
#include "store/ServerSchema.h"

#include <QString>

namespace itm::test {

// A new, empty database on the run's throw-away server (the PG* variables
// of pg_virtualenv), as a connection string.
inline QString NewServerDatabase(const QString& name)
{
    Connection admin;
    admin.open(QStringLiteral("postgresql://"));
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
    return QStringLiteral("dbname=%1").arg(name);
}

// The same, with an empty register made on it by server init.
inline QString NewServerRegister(const QString& name)
{
    const QString location = NewServerDatabase(name);
    Connection server;
    server.open(location);
    InitServerRegister(server);
    return location;
}

} // namespace itm::test
