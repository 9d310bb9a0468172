#include "backup/BackupNames.h"
#include "backup/BackupPolicy.h"

#include <QTest>

using namespace itm;

namespace {
QDateTime at(const char* text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<BackupName> backupsAt(const QStringList& times)
{
    QList<BackupName> backups;
    for (const QString& time : times)
        backups.append({ at(time.toLatin1().constData()), 1 });
    return backups;
}

// One backup a day at noon, from first for count days.
QStringList daily(const char* first, int count)
{
    QStringList times;
    for (int day = 0; day < count; ++day)
        times.append(at(first).addDays(day).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return times;
}
} // namespace

class TestBackupPolicy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namesSayWhenTheCopyWasMade_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("made"); // empty: not a backup
        QTest::addColumn<int>("sequence");
        QTest::newRow("plain") << "date-20240301-093005.itm"
                               << "2024-03-01 09:30:05" << 1;
        QTest::newRow("second in the same second") << "date-20240301-093005-2.itm"
                                                   << "2024-03-01 09:30:05" << 2;
        QTest::newRow("the database itself") << "date.itm"
                                             << "" << 0;
        QTest::newRow("a copy of alta.itm") << "alta-20240301-093005.itm"
                                            << "" << 0;
        QTest::newRow("a copy of date-x.itm") << "date-x-20240301-093005.itm"
                                              << "" << 0;
        QTest::newRow("a partial copy") << ".copie-123-1.partial"
                                        << "" << 0;
        QTest::newRow("no such month") << "date-20241301-093005.itm"
                                       << "" << 0;
        QTest::newRow("number one is never written") << "date-20240301-093005-1.itm"
                                                     << "" << 0;
        QTest::newRow("another extension") << "date-20240301-093005.itm.bak"
                                           << "" << 0;
        QTest::newRow("a user's copy") << "date-20240301-093005 (copie).itm"
                                       << "" << 0;
    }
    void namesSayWhenTheCopyWasMade()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, made);
        QFETCH(int, sequence);
        const auto parsed = ParseBackupFileName(QStringLiteral("date"), fileName);
        QCOMPARE(parsed.has_value(), !made.isEmpty());
        if (!parsed)
            return;
        QCOMPARE(parsed->made, at(made.toLatin1().constData()));
        QCOMPARE(parsed->sequence, sequence);
        QCOMPARE(BackupFileName(QStringLiteral("date"), parsed->made, parsed->sequence), fileName);
    }

    void aBackupIsDueOnceADay_data()
    {
        QTest::addColumn<QStringList>("backups");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("due");
        QTest::newRow("none yet") << QStringList {} << "2024-03-10 12:00:00" << true;
        QTest::newRow("an hour old") << QStringList { "2024-03-10 11:00:00" } << "2024-03-10 12:00:00" << false;
        QTest::newRow("one second short of a day")
            << QStringList { "2024-03-09 12:00:01" } << "2024-03-10 12:00:00" << false;
        QTest::newRow("a day old") << QStringList { "2024-03-09 12:00:00" } << "2024-03-10 12:00:00" << true;
        QTest::newRow("the newest counts, in any order")
            << QStringList { "2024-03-01 12:00:00", "2024-03-10 08:00:00", "2024-03-05 12:00:00" }
            << "2024-03-10 12:00:00" << false;
        QTest::newRow("only old ones") << QStringList { "2024-03-01 12:00:00", "2024-03-05 12:00:00" }
                                       << "2024-03-10 12:00:00" << true;
        QTest::newRow("an hour ahead of the clock")
            << QStringList { "2024-03-10 13:00:00" } << "2024-03-10 12:00:00" << false;
        QTest::newRow("a year ahead: the clock was put back")
            << QStringList { "2025-03-10 12:00:00" } << "2024-03-10 12:00:00" << true;
    }
    void aBackupIsDueOnceADay()
    {
        QFETCH(QStringList, backups);
        QFETCH(QString, now);
        QFETCH(bool, due);
        QCOMPARE(IsBackupDue(backupsAt(backups), at(now.toLatin1().constData())), due);
    }

    void pruningKeepsTheNewestTenAndOnePerMonth_data()
    {
        QTest::addColumn<QStringList>("backups");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QStringList>("pruned");
        QTest::newRow("ten are all kept")
            << daily("2024-03-01 12:00:00", 10) << "2024-03-10 12:00:00" << QStringList {};
        QTest::newRow("the eleventh of the month goes")
            << daily("2024-03-01 12:00:00", 11) << "2024-03-11 12:00:00" << QStringList { "2024-03-01 12:00:00" };
        // Daily copies from 1 February to 11 March: the newest ten (2 to 11
        // March) hold March's newest, February keeps its last (the 29th).
        QStringList fortyDays = daily("2024-02-01 12:00:00", 40);
        QTest::newRow("a month of daily copies keeps its last")
            << fortyDays << "2024-03-11 12:00:00" << (fortyDays.mid(0, 28) + fortyDays.mid(29, 1));
        QTest::newRow("months older than a year go")
            << QStringList { "2023-03-31 12:00:00", "2023-04-30 12:00:00", "2024-01-15 12:00:00" }
                + daily("2024-03-01 12:00:00", 10)
            << "2024-03-10 12:00:00" << QStringList { "2023-03-31 12:00:00" };
        QTest::newRow("twelve monthly copies and ten of today are all kept") << QStringList { "2023-04-30 12:00:00",
            "2023-05-31 12:00:00", "2023-06-30 12:00:00", "2023-07-31 12:00:00", "2023-08-31 12:00:00",
            "2023-09-30 12:00:00", "2023-10-31 12:00:00", "2023-11-30 12:00:00", "2023-12-31 12:00:00",
            "2024-01-31 12:00:00", "2024-02-29 12:00:00" }
                + daily("2024-03-01 12:00:00", 10) << "2024-03-10 12:00:00" << QStringList {};
        QTest::newRow("of two in one month the newer is kept")
            << QStringList { "2024-01-02 12:00:00", "2024-01-30 12:00:00" } + daily("2024-03-01 12:00:00", 10)
            << "2024-03-10 12:00:00" << QStringList { "2024-01-02 12:00:00" };
    }
    void pruningKeepsTheNewestTenAndOnePerMonth()
    {
        QFETCH(QStringList, backups);
        QFETCH(QString, now);
        QFETCH(QStringList, pruned);
        QStringList actual;
        for (int index : BackupsToPrune(backupsAt(backups), at(now.toLatin1().constData())))
            actual.append(backups.at(index));
        actual.sort();
        pruned.sort();
        QCOMPARE(actual, pruned);
    }

    void copiesOfTheSameSecondRankByTheirNumber()
    {
        // Eleven copies made within one second: the first of them is the oldest.
        QList<BackupName> backups;
        for (int sequence = 11; sequence >= 1; --sequence)
            backups.append({ at("2024-03-10 12:00:00"), sequence });
        QCOMPARE(BackupsToPrune(backups, at("2024-03-10 12:00:05")), QList<int> { 10 });
    }
};

QTEST_GUILESS_MAIN(TestBackupPolicy)
#include "tst_backuppolicy.moc"
