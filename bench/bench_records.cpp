// The register's history over a generated register (100,000 payers, the first
// 10,000 with ten years of declarations, or the file ITM_BENCH_DB names): a
// payer's history and statement, a declaration saved with its version, every
// payer's year.
#include "records/PayerHistory.h"
#include "records/PayerStatement.h"
#include "records/YearSummary.h"
#include "store/Dataset.h"
#include "store/Tdm.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace itm;

namespace {

QString databasePath;

void PayerHistoryOfTenYears(benchmark::State& state)
{
    Connection connection;
    connection.open(databasePath, true);
    qint64 payer = 1;
    for (auto _ : state) {
        const PayerHistory history = ReadPayerHistory(connection, payer);
        benchmark::DoNotOptimize(history.balance);
        payer = payer % 10000 + 17;
    }
}

// What the statement window reads: the history, the versions and the year totals.
void PayerStatementOfTenYears(benchmark::State& state)
{
    Connection connection;
    connection.open(databasePath, true);
    qint64 payer = 1;
    for (auto _ : state) {
        const PayerStatement statement = ReadPayerStatement(connection, payer);
        benchmark::DoNotOptimize(statement.balance);
        payer = payer % 10000 + 17;
    }
}

void SaveDeclarationWithItsVersion(benchmark::State& state)
{
    Tdm dm(databasePath);
    Dataset& declarations = *dm.qryDeclaratii;
    declarations.setParam(QStringLiteral("idfirma"), 5);
    declarations.setParam(QStringLiteral("luna"), 3);
    declarations.setParam(QStringLiteral("anul"), 2010);
    declarations.Open();
    int n = 0;
    for (auto _ : state) {
        declarations.Edit();
        declarations.FieldByName(QStringLiteral("comac")).setAsInteger(n++);
        declarations.Post();
    }
}

void YearOfEveryPayer(benchmark::State& state)
{
    Connection connection;
    connection.open(databasePath, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadYearSummary(connection, 2015).size());
}

} // namespace

BENCHMARK(PayerHistoryOfTenYears)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(PayerStatementOfTenYears)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(SaveDeclarationWithItsVersion)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(YearOfEveryPayer)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    databasePath = qEnvironmentVariable("ITM_BENCH_DB");
    if (databasePath.isEmpty()) {
        databasePath = folder.filePath(QStringLiteral("register.itm"));
        QProcess::execute(
            QStringLiteral(ITM_SOURCE_DIR "/bench/generate_register.sh"), { databasePath, QStringLiteral("100000") });
        QProcess::execute(QStringLiteral(ITM_SOURCE_DIR "/bench/generate_history.sh"), { databasePath });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
