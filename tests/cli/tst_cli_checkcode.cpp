#include <QProcess>
#include <QTest>

class TestCliCheckCode : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QByteArray out;
    };

    static Run runCli(const QStringList& arguments, const QByteArray& input = {})
    {
        QProcess process;
        process.start(QStringLiteral(ITM_CLI_PATH), QStringList { QStringLiteral("check-code") } + arguments);
        if (!process.waitForStarted())
            return {};
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(30000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput() };
    }

private Q_SLOTS:
    void codesOnTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("one valid CUI") << QStringList { "19" } << QByteArray("valid\n") << 0;
        QTest::newRow("valid CUI and CNP")
            << QStringList { "123456789", "1900101000091" } << QByteArray("valid\nvalid\n") << 0;
        QTest::newRow("one invalid among valid")
            << QStringList { "19", "18", "230" } << QByteArray("valid\ninvalid\nvalid\n") << 1;
        QTest::newRow("ten characters never read") << QStringList { "RO12345678" } << QByteArray("invalid\n") << 1;
        QTest::newRow("conversion error names the character")
            << QStringList { "RO1234567", "19" } << QByteArray("error: 'R' is not a valid integer value\nvalid\n") << 1;
        QTest::newRow("blank inside") << QStringList { "1 9" }
                                      << QByteArray("error: ' ' is not a valid integer value\n") << 1;
        QTest::newRow("empty argument") << QStringList { "" } << QByteArray("invalid\n") << 1;
    }
    void codesOnTheCommandLine()
    {
        QFETCH(QStringList, codes);
        QFETCH(QByteArray, expected);
        QFETCH(int, exitCode);
        const Run run = runCli(codes);
        QCOMPARE(run.out, expected);
        QCOMPARE(run.exitCode, exitCode);
    }

    void codesOnStandardInput_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("LF ends") << QByteArray("19\n1900101000006\n") << QByteArray("valid\nvalid\n") << 0;
        QTest::newRow("CR LF ends") << QByteArray("19\r\n230\r\n") << QByteArray("valid\nvalid\n") << 0;
        QTest::newRow("last line without end") << QByteArray("19\n230") << QByteArray("valid\nvalid\n") << 0;
        QTest::newRow("empty line is an empty code")
            << QByteArray("19\n\n230\n") << QByteArray("valid\ninvalid\nvalid\n") << 1;
        QTest::newRow("trailing blank is kept")
            << QByteArray("19 \n") << QByteArray("error: ' ' is not a valid integer value\n") << 1;
        QTest::newRow("leading blank is kept")
            << QByteArray(" 19\n") << QByteArray("error: ' ' is not a valid integer value\n") << 1;
        // A lone CR is no line end: "19\r230" is one six-character code.
        QTest::newRow("lone CR stays in the code")
            << QByteArray("19\r230\n") << QByteArray("error: '\r' is not a valid integer value\n") << 1;
        QTest::newRow("CR before CR LF stays")
            << QByteArray("19\r\r\n") << QByteArray("error: '\r' is not a valid integer value\n") << 1;
        // UTF-8, as the arguments: a two-byte letter is one character, so
        // this is a CUI of nine characters whose letter is read and named.
        QTest::newRow("a UTF-8 letter is one character")
            << QByteArray("12345678\xc3\xa9\n") << QByteArray("error: '\xc3\xa9' is not a valid integer value\n") << 1;
        QTest::newRow("a letter beyond the first plane is named whole")
            << QByteArray("1\xf0\x9f\x98\x80\n")
            << QByteArray("error: '\xf0\x9f\x98\x80' is not a valid integer value\n") << 1;
        QTest::newRow("NUL byte") << QByteArray("1\0"
                                                "9\n",
            4) << QByteArray("error: '\0' is not a valid integer value\n", 40)
                                  << 1;
        QTest::newRow("no input, nothing to refuse") << QByteArray() << QByteArray() << 0;
    }
    void codesOnStandardInput()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QFETCH(int, exitCode);
        const Run run = runCli({}, input);
        QCOMPARE(run.out, expected);
        QCOMPARE(run.exitCode, exitCode);
    }

    // A code gets the same answer whether it is an argument or a line of input.
    void theSameAnswerFromArgumentsAndInput_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::newRow("valid") << QByteArray("19");
        QTest::newRow("letter at the end") << QByteArray("12345678\xc3\xa9");
        QTest::newRow("letter at the start") << QByteArray("\xc8\x98" // S with comma below
                                                           "1");
        QTest::newRow("ten characters with a letter") << QByteArray("123456789\xc3\xa9");
    }
    void theSameAnswerFromArgumentsAndInput()
    {
        QFETCH(QByteArray, code);
        const Run fromArgument = runCli({ QString::fromUtf8(code) });
        const Run fromInput = runCli({}, code + '\n');
        QCOMPARE(fromInput.out, fromArgument.out);
        QCOMPARE(fromInput.exitCode, fromArgument.exitCode);
    }
};

QTEST_GUILESS_MAIN(TestCliCheckCode)
#include "tst_cli_checkcode.moc"
