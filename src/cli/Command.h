#pragma once

#include <QStringList>
#include <functional>

class QTextStream;

namespace itm::cli {

// One sub-command of itm-cli. Each command lives in its own file and registers
// itself with a static CommandRegistration object.
struct Command
{
    QString name;
    QString synopsis; // one line for --help, without the program name
    bool needsGui = false; // renders pages: a GUI application object (offscreen) is created
    int (*run)(const QStringList& arguments, QTextStream& out, QTextStream& err) = nullptr;
};

class CommandRegistration
{
public:
    explicit CommandRegistration(Command command);
};

const QList<Command>& registeredCommands();

// Runs a command's work and gives its exit status: an error of the database
// is reported after the database's path, any other error after the command's
// name, and either ends the command with status 1.
int RunReportingErrors(
    const QString& command, const QString& databasePath, QTextStream& err, const std::function<int()>& work);

// Runs itm-cli: the first argument names the command; --help lists them.
int runCli(int argc, char** argv);

} // namespace itm::cli
