#include "platform/AtomicFile.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace itm;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writePlain(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void writesWholeAndLeavesNothingBeside()
    {
        const QString target = m_folder->filePath("a.txt");
        QVERIFY(writePlain(target, "old"));
        QString error;
        QVERIFY2(WriteFileAtomically(target, "new content", &error), qPrintable(error));
        QCOMPARE(readAll(target), QByteArray("new content"));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList { "a.txt" });
    }

    // Each way of filling the file on a medium that takes only 4 KiB.
    void aFullMediumKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("one write") << 0;
        QTest::newRow("many small writes") << 1;
        QTest::newRow("a streaming device") << 2;
    }
    void aFullMediumKeepsTheOldFile()
    {
        QFETCH(int, way);
        const QString target = m_folder->filePath("full.txt");
        const QByteArray old(3000, 'o');
        QVERIFY(writePlain(target, old));
        bool committed = true;
        QString error;
        {
            test::FileSizeLimit limit(4096);
            QVERIFY(limit.isActive());
            AtomicFile file(target);
            QVERIFY(file.open());
            const QByteArray chunk(100, 'n');
            if (way == 0) {
                file.write(QByteArray(10000, 'n'));
            } else {
                for (int i = 0; i < 100; ++i)
                    file.write(chunk);
            }
            if (way == 2) {
                for (int i = 0; i < 100; ++i)
                    file.device()->write(chunk);
            }
            committed = file.commit();
            error = file.errorString();
        }
        QVERIFY(!committed);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(target), old);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList { "full.txt" });
    }

    void cancelAndDestructionLeaveTheTargetAlone()
    {
        const QString target = m_folder->filePath("c.txt");
        QVERIFY(writePlain(target, "keep"));
        {
            AtomicFile file(target);
            QVERIFY(file.open());
            QVERIFY(file.write("gone"));
        }
        AtomicFile cancelled(target);
        QVERIFY(cancelled.open());
        QVERIFY(cancelled.write("gone too"));
        cancelled.cancel();
        QVERIFY(!cancelled.commit());
        QCOMPARE(readAll(target), QByteArray("keep"));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList { "c.txt" });
    }

    void aSymbolicLinkIsWrittenThrough()
    {
        QVERIFY(QDir(m_folder->path()).mkdir("real"));
        const QString real = m_folder->filePath("real/data.csv");
        QVERIFY(writePlain(real, "old"));
        const QString link = m_folder->filePath("link.csv");
        QVERIFY(QFile::link(real, link));
        QVERIFY(WriteFileAtomically(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(real), QByteArray("new"));
    }

    void aReplacedFileKeepsItsPermissions()
    {
        const QString target = m_folder->filePath("p.txt");
        QVERIFY(writePlain(target, "old"));
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(target, mode));
        QVERIFY(WriteFileAtomically(target, "new"));
        QCOMPARE(QFile::permissions(target) & 0x7077, mode & 0x7077);
    }

    void aFolderThatCannotTakeTheFileFails_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << QStringLiteral("missing/x.txt");
        QTest::newRow("a folder as target") << QStringLiteral(".");
    }
    void aFolderThatCannotTakeTheFileFails()
    {
        QFETCH(QString, target);
        QString error;
        QVERIFY(!WriteFileAtomically(m_folder->filePath(target), "x", &error));
        QVERIFY(!error.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder; // a new one for each test
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
