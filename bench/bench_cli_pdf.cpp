// itm-cli pdf over a month of 1,000 declarations: the built binary, run as the
// user runs it, on a database made from the shipped schema.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int PayerCount = 1000;

bool execute(sqlite3* db, const QByteArray& sql)
{
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// 1,000 payers, one in ten in bankruptcy, each with its March 2006 declaration.
bool createDatabase(const QString& path)
{
    QFile schema(QStringLiteral(ITM_SOURCE_DIR "/data/date.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    bool ok = execute(db, schema.readAll()) && execute(db, "BEGIN");
    for (int i = 1; ok && i <= PayerCount; ++i) {
        const int faliment = i % 10 == 0 ? 1 : 0;
        ok = execute(db,
            QStringLiteral(
                "INSERT INTO firme (cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, scara, ap, "
                "codpostal, telefon, email, banca, cont, numerep, prenumerep, funcrep, faliment, lcui, ldenumire, "
                "lcodjudet, lloc, lsector, lstr, lnr, lbloc, lscara, lap, lcodpostal, lemail, ltelefon, lzi, lln, "
                "lan) VALUES ('%1', 1, 'FIRMA DE TEST NUMARUL %2', 1, '%3', 'LOCALITATEA %2', %4, 'STRADA MARE', "
                "'%2', 'B%2', 'A', '%2', '100100', '0211234567', 'firma%2@exemplu.ro', 'BANCA COMERCIALA', "
                "'RO49AAAA1B31007593840000', 'POPESCU', 'ION', 'ADMINISTRATOR', %5, '1900101000006', "
                "'LICHIDATOR %2 SPRL', '12', 'CLUJ-NAPOCA', 0, 'HOREA', '7', ' ', ' ', ' ', '400001', "
                "'l@exemplu.ro', '0264111222', 5, 3, 2006)")
                .arg(QString::number(1000000 + i), QString::number(i), QString::asprintf("%02d", 1 + i % 40))
                .arg(i % 7)
                .arg(faliment)
                .toUtf8());
        ok = ok
            && execute(db,
                QStringLiteral("INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, "
                               "comdat, comac, comdec, comdecac) VALUES (%1, 3, 2006, 0, %2, %3, %4, %5, %5, 0, 0)")
                    .arg(i)
                    .arg(i % 2)
                    .arg(i % 50 + 1)
                    .arg(i * 1000)
                    .arg(i * 1000 * (i % 2 ? 25 : 75) / 10000 + 1)
                    .toUtf8());
    }
    ok = ok && execute(db, "COMMIT");
    sqlite3_close(db);
    return ok;
}

void BM_CliPdfOfAMonth(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("date.itm"));
    if (!createDatabase(database)) {
        state.SkipWithError("cannot create the database");
        return;
    }
    const QString pdf = dir.filePath(QStringLiteral("month.pdf"));
    for (auto _ : state) {
        QProcess cli;
        cli.start(QStringLiteral(ITM_CLI_PATH),
            { QStringLiteral("pdf"), QStringLiteral("--month"), QStringLiteral("3"), QStringLiteral("--year"),
                QStringLiteral("2006"), QStringLiteral("--db"), database, QStringLiteral("--out"), pdf });
        if (!cli.waitForFinished(600000) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0) {
            state.SkipWithError("itm-cli pdf failed");
            break;
        }
    }
    state.counters["pages"] = PayerCount;
    state.counters["bytes"] = double(QFile(pdf).size());
}
BENCHMARK(BM_CliPdfOfAMonth)->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
