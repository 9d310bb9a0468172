#include "cli/Command.h"

#include "platform/ProgramVersion.h"
#include "store/Errors.h"
#include "store/StrictNumber.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace itm::cli {

namespace {
QList<Command>& commandList()
{
    static QList<Command> commands;
    return commands;
}

void printHelp(QTextStream& out)
{
    out << "Usage: itm-cli COMMAND [ARGUMENTS]\n"
           "Batch companion of itm-declaratie: works on the same database and files.\n\n"
           "Commands:\n";
    QList<Command> commands = commandList();
    std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& command : commands)
        out << "  itm-cli " << command.synopsis << '\n';
    out << "  itm-cli --version    print the version\n"
           "  itm-cli --help\n";
}
} // namespace

CommandRegistration::CommandRegistration(Command command)
{
    commandList().append(std::move(command));
}

const QList<Command>& registeredCommands()
{
    return commandList();
}

int RunReportingErrors(
    const QString& command, const QString& databasePath, QTextStream& err, const std::function<int()>& work)
{
    try {
        return work();
    } catch (const DatabaseError& error) {
        err << "itm-cli " << command << ": " << databasePath << ": " << error.message() << '\n';
    } catch (const Error& error) {
        err << "itm-cli " << command << ": " << error.message() << '\n';
    }
    return 1;
}

int runCli(int argc, char** argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (argc < 2) {
        printHelp(err);
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printHelp(out);
        return 0;
    }
    if (name == QLatin1String("--version")) {
        out << "itm-cli " << programVersion() << '\n';
        return 0;
    }
    const auto& commands = commandList();
    const auto found = std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return c.name == name; });
    if (found == commands.end()) {
        err << "itm-cli: unknown command '" << name << "'\n";
        printHelp(err);
        return 2;
    }

    std::unique_ptr<QCoreApplication> application;
    if (found->needsGui) {
        // Pages are rendered without any display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList arguments = QCoreApplication::arguments().mid(2);
    const int status = found->run(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}

std::optional<int> ParseCommandArguments(
    QCommandLineParser& parser, const QString& command, const QStringList& arguments, int positionals, QTextStream& err)
{
    if (!parser.parse(QStringList { QStringLiteral("itm-cli") } + arguments)) {
        err << "itm-cli " << command << ": " << parser.errorText() << '\n';
        return 2;
    }
    for (const QString& name : parser.optionNames()) {
        if (parser.values(name).size() > 1) {
            err << "itm-cli " << command << ": --" << name << " given more than once\n";
            return 2;
        }
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > positionals) {
        err << "itm-cli " << command << ": unexpected argument '" << rest.at(positionals) << "'\n";
        return 2;
    }
    return std::nullopt;
}

std::optional<QString> ChosenListingFormat(
    const QCommandLineParser& parser, const QCommandLineOption& option, const QString& command, QTextStream& err)
{
    const QString chosen = parser.isSet(option) ? parser.value(option) : QStringLiteral("text");
    if (chosen != QLatin1String("text") && chosen != QLatin1String("csv")) {
        err << "itm-cli " << command << ": the format must be text or csv, not '" << chosen << "'\n";
        return std::nullopt;
    }
    return chosen;
}

namespace {

// A year option's value: absent, a year, or -1 after reporting a bad one.
std::optional<qint64> yearOption(
    const QCommandLineParser& parser, const QCommandLineOption& option, const QString& command, QTextStream& err)
{
    if (!parser.isSet(option))
        return std::nullopt;
    const QString text = parser.value(option);
    const auto year = TryStrToInt(text);
    if (!year || *year < 1 || *year > 9999) {
        err << "itm-cli " << command << ": --" << option.names().constFirst()
            << " must be a whole number from 1 to 9999, not '" << text << "'\n";
        return -1;
    }
    return year;
}

} // namespace

std::optional<YearRange> ChosenYearRange(const QCommandLineParser& parser, const QCommandLineOption& fromYear,
    const QCommandLineOption& toYear, const QString& command, QTextStream& err)
{
    const auto first = yearOption(parser, fromYear, command, err);
    const auto last = yearOption(parser, toYear, command, err);
    if (first == -1 || last == -1)
        return std::nullopt;
    if (first && last && *first > *last) {
        err << "itm-cli " << command << ": --from-year " << *first << " is after --to-year " << *last << '\n';
        return std::nullopt;
    }
    return YearRange { first, last };
}

} // namespace itm::cli
