#pragma once

#include <QStringList>
#include <functional>
#include <optional>

class QCommandLineOption;
class QCommandLineParser;
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

// Parses a command's arguments with the parser's options: an unknown option,
// an option given twice or more than `positionals` other words is reported
// after the command's name and gives the exit status 2.
std::optional<int> ParseCommandArguments(QCommandLineParser& parser, const QString& command,
    const QStringList& arguments, int positionals, QTextStream& err);

// The listing's format chosen with `option`: "text" (when not given) or
// "csv"; anything else is reported after the command's name (status 2).
std::optional<QString> ChosenListingFormat(
    const QCommandLineParser& parser, const QCommandLineOption& option, const QString& command, QTextStream& err);

// The years chosen with --from-year and --to-year (either may be absent):
// whole numbers from 1 to 9999, the first not after the last; anything else
// is reported after the command's name and gives nothing (status 2).
struct YearRange
{
    std::optional<qint64> first;
    std::optional<qint64> last;
};
std::optional<YearRange> ChosenYearRange(const QCommandLineParser& parser, const QCommandLineOption& fromYear,
    const QCommandLineOption& toYear, const QString& command, QTextStream& err);

// Runs itm-cli: the first argument names the command; --help lists them.
int runCli(int argc, char** argv);

} // namespace itm::cli
