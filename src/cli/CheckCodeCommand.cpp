#include "cli/Command.h"
#include "payers/FiscalCode.h"
#include "store/Errors.h"

#include <QByteArrayList>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace itm::cli {

namespace {

// Codes on standard input are taken one per line, read as UTF-8 as the
// arguments are, so that a code gets the same answer either way: only the
// line end (LF or CR LF) is removed, so a stray blank or a lone CR stays part
// of the code and is judged like any other character.
QStringList codesFromStandardInput()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = input.readAll();
    QStringList codes;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool lastLineUnended = end < 0;
        if (lastLineUnended)
            end = bytes.size();
        qsizetype codeEnd = end;
        if (!lastLineUnended && codeEnd > start && bytes.at(codeEnd - 1) == '\r')
            --codeEnd;
        codes.append(QString::fromUtf8(bytes.constData() + start, codeEnd - start));
        start = end + 1;
    }
    return codes;
}

int checkCodes(const QStringList& arguments, QTextStream& out, QTextStream&)
{
    const QStringList codes = arguments.isEmpty() ? codesFromStandardInput() : arguments;
    bool allValid = true;
    for (const QString& code : codes) {
        try {
            if (IsValidFiscalCode(code)) {
                out << "valid\n";
            } else {
                out << "invalid\n";
                allValid = false;
            }
        } catch (const ConversionError& error) {
            out << "error: " << error.message() << '\n';
            allValid = false;
        }
    }
    return allValid ? 0 : 1;
}

const CommandRegistration registration({
    QStringLiteral("check-code"),
    QStringLiteral("check-code [CODE...]    check fiscal codes (CUI or CNP); without CODE, one per line from stdin"),
    false,
    &checkCodes,
});

} // namespace

} // namespace itm::cli
