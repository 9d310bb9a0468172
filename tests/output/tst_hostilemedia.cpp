// A medium that is not what a save expects: links where the declaration file
// or the Rez folder belong, a Rez copy that holds more than the root file,
// temporary files left by a save that was cut off.
#include "output/DeclarationFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace itm;

namespace {

QByteArray lineOf(const QByteArray& cui, const QByteArray& rest = "1")
{
    return "\"03\",\"2006\"," + cui + ',' + rest;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestHostileMedia : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aLinkOnTheMediumIsNeverWrittenThrough_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("toFolder");
        QTest::newRow("the declaration file") << "IM200603.txt" << false;
        QTest::newRow("the Rez folder") << "Rez" << true;
        QTest::newRow("the Rez copy") << "Rez/IM200603.txt" << false;
    }
    void aLinkOnTheMediumIsNeverWrittenThrough()
    {
        QFETCH(QString, link);
        QFETCH(bool, toFolder);
        QTemporaryDir dir;
        const QString medium = dir.filePath(QStringLiteral("medium")) + u'/';
        const QString outside = dir.filePath(QStringLiteral("outside"));
        QVERIFY(QDir().mkpath(medium + QStringLiteral("Rez")));
        if (link == u"Rez")
            QVERIFY(QDir(medium).rmdir(QStringLiteral("Rez")));
        const QByteArray precious("a file off the medium, without commas\r\n");
        if (toFolder)
            QVERIFY(QDir().mkpath(outside));
        else
            QVERIFY(writeFile(outside, precious));
        QVERIFY(QFile::link(outside, medium + link));

        QString failure;
        QVERIFY(!SaveDeclarationFile(medium, 3, 2006, "19", lineOf("19"), {}, &failure));
        QVERIFY2(failure.contains(medium + link), qPrintable(failure));
        if (toFolder)
            QCOMPARE(filesIn(outside), QStringList());
        else
            QCOMPARE(readAll(outside), precious);
        if (link != u"IM200603.txt")
            QCOMPARE(readAll(medium + QStringLiteral("IM200603.txt")), QByteArray("<missing>"));
        QVERIFY(QFileInfo(medium + link).isSymLink());
    }

    void aRezCopyWithOtherPayersIsKeptBeforeItIsReplaced_data()
    {
        QTest::addColumn<bool>("rootPresent");
        QTest::addColumn<bool>("kept");
        QTest::newRow("root file missing: the Rez copy is kept") << false << true;
        QTest::newRow("root file present: nothing to keep") << true << false;
    }
    void aRezCopyWithOtherPayersIsKeptBeforeItIsReplaced()
    {
        QFETCH(bool, rootPresent);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        QVERIFY(QDir(root).mkdir(QStringLiteral("Rez")));
        // Lone LF line ends, as another tool may have written them: the kept copy is the file as it was.
        const QByteArray rez = lineOf("230", "\"BETA\"") + '\n' + lineOf("19", "\"OLD\"") + '\n';
        QVERIFY(writeFile(root + QStringLiteral("Rez/IM200603.txt"), rez));
        if (rootPresent)
            QVERIFY(writeFile(root + QStringLiteral("IM200603.txt"), rez));

        const QByteArray line = lineOf("19", "\"NEW\"");
        QVERIFY(SaveDeclarationFile(root, 3, 2006, "19", line));
        const QByteArray expected = rootPresent ? lineOf("230", "\"BETA\"") + "\r\n" + line + "\r\n" : line + "\r\n";
        QCOMPARE(readAll(root + QStringLiteral("IM200603.txt")), expected);
        QCOMPARE(readAll(root + QStringLiteral("Rez/IM200603.txt")), expected);

        const QStringList copies = QDir(root + QStringLiteral("Rez")).entryList({ QStringLiteral("IM200603-*.txt") });
        QCOMPARE(copies.size(), kept ? 1 : 0);
        if (kept) {
            QVERIFY2(
                QRegularExpression(QStringLiteral("^IM200603-\\d{8}-\\d{6}\\.txt$")).match(copies.first()).hasMatch(),
                qPrintable(copies.first()));
            QCOMPARE(readAll(root + QStringLiteral("Rez/") + copies.first()), rez);
        }
    }

    void theNextSaveRemovesTheTemporaryFilesOfAnInterruptedOne()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        QVERIFY(QDir(root).mkdir(QStringLiteral("Rez")));
        const QByteArray wholeSize(64 * 1024, 'x');
        QVERIFY(writeFile(root + QStringLiteral("IM200603.txt.aB4321"), wholeSize));
        QVERIFY(writeFile(root + QStringLiteral("Rez/IM200603.txt.Zq0007"), wholeSize));
        // Files that are not such leftovers stay.
        QVERIFY(writeFile(root + QStringLiteral("IM200603.txt.backup"), "mine"));
        QVERIFY(writeFile(root + QStringLiteral("IM200604.txt.aB4321"), "another month's save"));

        QVERIFY(SaveDeclarationFile(root, 3, 2006, "19", lineOf("19")));
        QCOMPARE(filesIn(root),
            QStringList({ QStringLiteral("IM200603.txt"), QStringLiteral("IM200603.txt.backup"),
                QStringLiteral("IM200604.txt.aB4321") }));
        QCOMPARE(filesIn(root + QStringLiteral("Rez")), QStringList { QStringLiteral("IM200603.txt") });
    }
};

QTEST_GUILESS_MAIN(TestHostileMedia)
#include "tst_hostilemedia.moc"
