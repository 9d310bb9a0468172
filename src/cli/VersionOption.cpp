#include "cli/VersionOption.h"

#include "records/PayerStatement.h"
#include "store/StrictNumber.h"

#include <QTextStream>

namespace itm::cli {

bool TakeVersionOption(QStringList& arguments, std::optional<qint64>& version, const QString& command, QTextStream& err)
{
    const QString name = QStringLiteral("--version");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        QString value;
        if (argument == name) {
            if (i + 1 >= arguments.size()) {
                err << "itm-cli " << command << ": missing value after --version\n";
                return false;
            }
            value = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else if (argument.startsWith(name + u'=')) {
            value = argument.mid(name.size() + 1);
            arguments.remove(i);
        } else {
            continue;
        }
        --i;
        if (version) {
            err << "itm-cli " << command << ": --version given more than once\n";
            return false;
        }
        const auto number = TryStrToInt(value);
        if (!number || *number < 1) {
            err << "itm-cli " << command << ": --version must be a whole number from 1 up, not '" << value << "'\n";
            return false;
        }
        version = *number;
    }
    return true;
}

bool UseDeclarationVersion(
    const CliDatabase& database, DeclaredPayer& found, qint64 version, const QString& command, QTextStream& err)
{
    const qint64 payerId = found.payer.fieldInteger(QStringLiteral("id"));
    const qint64 declarationId = found.declaration.fieldInteger(QStringLiteral("id"));
    if (const auto kept = ReadDeclarationVersion(database.connection(), payerId, declarationId, version)) {
        found.declaration = *kept;
        return true;
    }
    const QList<qint64> numbers = DeclarationVersionNumbers(database.connection(), payerId, declarationId);
    QStringList texts;
    for (const qint64 number : numbers)
        texts.append(QString::number(number));
    err << "itm-cli " << command << ": payer '" << found.payer.fieldText(QStringLiteral("cui")) << "' has no version "
        << version << " of its declaration for " << found.declaration.fieldText(QStringLiteral("ln")) << '/'
        << found.declaration.fieldText(QStringLiteral("an"))
        << (numbers.isEmpty() ? QStringLiteral(" (no versions kept)")
                              : QStringLiteral(" (versions: %1)").arg(texts.join(QStringLiteral(", "))))
        << '\n';
    return false;
}

} // namespace itm::cli
