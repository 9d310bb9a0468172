// A backup of a generated register (ITM_BENCH_DB, and ITM_BENCH_DB_LARGE when
// set): the copy with its check, the check alone (what `itm-cli backups` does
// per file), and a copy while the program posts a payer every 20 ms through
// the connection the copy reads, with the longest wait of a post.
#include "backup/Backups.h"
#include "backup/DatabaseCheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <thread>

using namespace itm;

namespace {

const QDateTime noon(QDate(2007, 3, 15), QTime(12, 0));

// keepCopy: the copy stays for the caller to remove (removing a large file
// is work of the file system that a post beside it would wait for).
bool backupOnce(benchmark::State& state, const CopySource& database, const QString& folder, bool keepCopy = false)
{
    const BackupOutcome outcome = MakeBackup(database, folder, noon);
    if (!outcome.made()) {
        state.SkipWithError(outcome.problem.toUtf8().constData());
        return false;
    }
    if (keepCopy)
        return true;
    state.PauseTiming();
    QFile::remove(outcome.path);
    state.ResumeTiming();
    return true;
}

void Backup(benchmark::State& state, const QString& database)
{
    QTemporaryDir folder;
    for (auto _ : state) {
        if (!backupOnce(state, database, folder.path()))
            return;
    }
    state.counters["MB"] = double(QFileInfo(database).size()) / (1024 * 1024);
}

void CheckBackup(benchmark::State& state, const QString& database)
{
    for (auto _ : state) {
        const DatabaseCheck check = CheckDatabaseFile(database, CheckDepth::Columns);
        if (!check.passed) {
            state.SkipWithError(check.problem.toUtf8().constData());
            return;
        }
        benchmark::DoNotOptimize(check.payers);
    }
}

void BackupWhilePosting(benchmark::State& state, const QString& database)
{
    QTemporaryDir work;
    const QString copy = work.filePath(QStringLiteral("date.itm"));
    QFile::copy(database, copy);
    std::atomic_bool stop { false };
    std::atomic<qint64> longestWaitUs { 0 };
    std::atomic_int posts { 0 };
    sqlite3* db = nullptr;
    sqlite3_open(copy.toUtf8().constData(), &db);
    sqlite3_busy_timeout(db, 2000);
    std::thread writer([&] {
        QElapsedTimer wait;
        while (!stop) {
            wait.start();
            const QByteArray sql = "UPDATE firme SET telefon = '" + QByteArray::number(posts.load()) + "' WHERE id = 1";
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
                ++posts;
            const qint64 waited = wait.nsecsElapsed() / 1000;
            if (waited > longestWaitUs)
                longestWaitUs = waited;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    for (auto _ : state) {
        if (!backupOnce(
                state, CopySource(copy, SourceAccess::ReadOnly, db), work.filePath(QStringLiteral("copii")), true))
            break;
    }
    stop = true;
    writer.join();
    sqlite3_close(db);
    state.counters["posts"] = posts.load();
    state.counters["longest_post_ms"] = double(longestWaitUs.load()) / 1000;
}

} // namespace

int main(int argc, char** argv)
{
    const struct
    {
        const char* variable;
        const char* label;
    } registers[] = { { "ITM_BENCH_DB", "100k" }, { "ITM_BENCH_DB_LARGE", "1500k" } };
    for (const auto& entry : registers) {
        const QString database = qEnvironmentVariable(entry.variable);
        if (database.isEmpty())
            continue;
        const std::string label = entry.label;
        benchmark::RegisterBenchmark(("Backup/" + label).c_str(), Backup, database)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RegisterBenchmark(("CheckBackup/" + label).c_str(), CheckBackup, database)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RegisterBenchmark(("BackupWhilePosting/" + label).c_str(), BackupWhilePosting, database)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
