#include "month/CarryOver.h"
#include "records/RecordsFixture.h"
#include "store/Dataset.h"
#include "store/Errors.h"
#include "store/Tdm.h"
#include "support/FakeJobs.h"
#include "support/SampleRecords.h"

#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

const QString declarationColumns
    = QStringLiteral("quote(idfirma), quote(ln), quote(an), quote(rectificativ), quote(com25), quote(nrsal), "
                     "quote(fondlunsal), quote(comdat), quote(comac), quote(comdec), quote(comdecac)");

QStringList versions(const TestDatabase& db)
{
    return QueryRows(db.path(),
        QStringLiteral("SELECT iddeclaratie, versiune, salvat IS NOT NULL, %1 FROM versiuni_declaratii ORDER BY id")
            .arg(declarationColumns));
}

Dataset& openDeclaration(Tdm& dm, int payer, int month, int year)
{
    Dataset& declarations = *dm.qryDeclaratii;
    declarations.Close();
    declarations.setParam(QStringLiteral("idfirma"), payer);
    declarations.setParam(QStringLiteral("luna"), month);
    declarations.setParam(QStringLiteral("anul"), year);
    declarations.Open();
    return declarations;
}

} // namespace

class TestDeclarationVersions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everySaveKeepsItsVersionWhole()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        // Versions of another declaration first: their keys are not the declaration's.
        AddDeclaration(db, 1, 2, 2007, QStringLiteral("0, 0, 1, 100, 1, 1, 0, 0"));
        Tdm dm(db.path());
        Dataset& february = openDeclaration(dm, 1, 2, 2007);
        february.Edit();
        february.Post();

        Dataset& march = openDeclaration(dm, 1, 3, 2007);
        march.Append();
        for (const auto& [column, value] : { std::pair { "idfirma", "1" }, { "ln", "3" }, { "an", "2007" },
                 { "nrsal", "4" }, { "fondlunsal", "2000" }, { "comdat", "15" }, { "comac", "9" } })
            march.FieldByName(QString::fromLatin1(column)).setAsString(QString::fromLatin1(value));
        march.Post();
        // The cursor holds the declaration's key, not the version's.
        QCOMPARE(march.FieldByName(QStringLiteral("id")).AsInteger(), qint64(2));
        march.Edit();
        march.FieldByName(QStringLiteral("rectificativ")).setAsString(QStringLiteral("1"));
        march.FieldByName(QStringLiteral("comac")).setAsString(QStringLiteral("15"));
        march.Post();

        const QStringList stored = QueryRows(
            db.path(), QStringLiteral("SELECT id, %1 FROM declaratii WHERE id = 2").arg(declarationColumns));
        QCOMPARE(versions(db),
            QStringList({ "1, 1, 0, 1, 2, 2007, 0, 0, 1, 100, 1, 1, 0, 0",
                "1, 2, 1, 1, 2, 2007, 0, 0, 1, 100, 1, 1, 0, 0", "2, 1, 1, 1, 3, 2007, 0, 0, 4, 2000, 15, 9, 0, 0",
                "2, 2, 1, 1, 3, 2007, 1, 0, 4, 2000, 15, 15, 0, 0" }));
        QCOMPARE(versions(db).constLast().section(QStringLiteral(", "), 3),
            stored.constFirst().section(QStringLiteral(", "), 1));
        // Every column as it was stored: a text in a number column stays a text.
        db.exec("UPDATE declaratii SET nrsal = 'x7' WHERE id = 2");
        Dataset& again = openDeclaration(dm, 1, 3, 2007);
        again.Edit();
        again.Post();
        QCOMPARE(QueryRows(db.path(),
                     QStringLiteral("SELECT typeof(nrsal), nrsal FROM versiuni_declaratii ORDER BY id DESC LIMIT 1")),
            QStringList { "text, x7" });
    }

    void noSaveWithoutItsVersion()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        AddDeclaration(db, 1, 3, 2007, QStringLiteral("0, 0, 1, 100, 1, 1, 0, 0"));
        Tdm dm(db.path());
        Dataset& march = openDeclaration(dm, 1, 3, 2007);
        // The history cannot be written: the save is not written either.
        db.exec("CREATE TRIGGER refuse BEFORE INSERT ON versiuni_declaratii WHEN new.versiune = 2 "
                "BEGIN SELECT RAISE(ABORT, 'versiune refuzata'); END;");
        march.Edit();
        march.FieldByName(QStringLiteral("comac")).setAsString(QStringLiteral("40"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, march.Post());
        QCOMPARE(QueryRows(db.path(), QStringLiteral("SELECT comac FROM declaratii")), QStringList { "1" });
        QCOMPARE(versions(db), QStringList());
        QCOMPARE(march.State(), DatasetState::Edit);
    }

    void theCarryOverKeepsAFirstVersionOfEach()
    {
        TestDatabase db;
        samples::addPayer(db, QStringLiteral("19"));
        samples::addPayer(db, QStringLiteral("27"));
        AddDeclaration(db, 1, 3, 2007, QStringLiteral("0, 0, 1, 2000, 15, 15, 0, 0"));
        AddDeclaration(db, 2, 3, 2007, QStringLiteral("0, 1, 2, 4000, 10, 10, 0, 0"));
        Tdm dm(db.path());
        FakeJobs jobs;
        jobs.cancelWhenDone(2);
        QCOMPARE(jobs.run(nullptr, QStringLiteral("Preia"), JobThread::Window,
                     [&](JobProgress& progress) {
                         CarryOverDeclarations(dm, { 3, 2007 }, { 4, 2007 }, AllPayerIds(dm), &progress);
                     }),
            JobOutcome::Cancelled);
        QCOMPARE(versions(db), QStringList());

        const CarryOverCounts counts = CarryOverDeclarations(dm, { 3, 2007 }, { 4, 2007 }, AllPayerIds(dm));
        QCOMPARE(counts.copied, 2);
        QCOMPARE(versions(db),
            QStringList({ "3, 1, 1, 1, 4, 2007, 0, 0, 1, 2000, 15, 15, 0, 0",
                "4, 1, 1, 2, 4, 2007, 0, 1, 2, 4000, 10, 10, 0, 0" }));
    }
};

QTEST_GUILESS_MAIN(TestDeclarationVersions)
#include "tst_declarationversions.moc"
