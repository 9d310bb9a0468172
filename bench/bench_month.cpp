// The month window over a register of 100,000 payers: its first screen, the
// whole register read behind it, and a keystroke in its filter.
#include "app/ColleagueRefresh.h"
#include "month/MonthListing.h"
#include "month/MonthTableModel.h"
#include "month/MonthTableView.h"
#include "month/TfSituatieLuna.h"
#include "platform/Platform.h"
#include "store/ServerConnection.h"
#include "store/Tdm.h"
#include "support/FakePrompts.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace itm;

namespace {

QString databasePath;
const MonthPeriod march2006 { 3, 2006 };

// From creating the window to its first screen painted: the period, the first
// rows of the table and the totals read so far.
void MonthWindowFirstScreen(benchmark::State& state)
{
    test::FakePrompts prompts;
    platform().prompts = &prompts;
    Tdm dm(databasePath);
    for (auto _ : state) {
        auto window = std::make_unique<TfSituatieLuna>(dm, nullptr);
        window->showMonth(march2006);
        window->show();
        window->repaint();
        benchmark::DoNotOptimize(window->model()->rowCount());
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    platform() = Platform {};
}

// The whole register read, as the window does it slice by slice after its
// first screen.
void MonthListingWholeRegister(benchmark::State& state)
{
    Tdm dm(databasePath);
    for (auto _ : state) {
        const QVector<MonthRow> rows = ReadMonthListing(dm.con, march2006);
        benchmark::DoNotOptimize(rows.size());
    }
}

// The whole register as the window holds it: the first screen and every
// slice after it.
void MonthWindowWholeRegister(benchmark::State& state)
{
    Tdm dm(databasePath);
    for (auto _ : state) {
        MonthTableModel model;
        model.open(dm.con, march2006, 200);
        model.finishLoading();
        benchmark::DoNotOptimize(model.rowCount());
    }
}

// Every payer's balance up to the month, read in a thread of its own behind
// the first screen: from the window's opening to the balances shown.
void MonthWindowBalances(benchmark::State& state)
{
    Tdm dm(databasePath);
    for (auto _ : state) {
        MonthTableModel model;
        model.open(dm.con, march2006, 200);
        model.waitForBalances();
        benchmark::DoNotOptimize(model.balanceTotal());
    }
}

// Another month typed over the register read: only its declarations read.
void MonthWindowChangeOfMonth(benchmark::State& state)
{
    Tdm dm(databasePath);
    MonthTableModel model;
    model.open(dm.con, march2006, 200);
    model.finishLoading();
    int month = 3;
    for (auto _ : state) {
        month = month == 3 ? 4 : 3;
        model.changeMonth(dm.con, { month, 2006 }, 200);
        benchmark::DoNotOptimize(model.rowCount());
    }
}

struct LoadedWindow
{
    test::FakePrompts prompts;
    Tdm dm { databasePath };
    TfSituatieLuna window { dm, nullptr };

    LoadedWindow()
    {
        platform().prompts = &prompts;
        window.showMonth(march2006);
        window.model()->finishLoading();
        window.show();
        QApplication::setActiveWindow(&window);
        window.filtru->setFocus();
        QCoreApplication::processEvents();
    }
    ~LoadedWindow() { platform() = Platform {}; }
};

// One character typed into an empty filter over the whole register, until
// the table shows the matching rows.
void FilterKeystrokeNarrowing(benchmark::State& state)
{
    LoadedWindow loaded;
    const QString digits = QStringLiteral("1234567890");
    int i = 0;
    for (auto _ : state) {
        QTest::keyClick(loaded.window.filtru, digits[i++ % 10].toLatin1());
        loaded.window.repaint();
        benchmark::DoNotOptimize(loaded.window.model()->rowCount());
        state.PauseTiming();
        loaded.window.filtru->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// The last character deleted: every payer of the register shown again, in
// the order chosen (the argument: the column sorted by, Ctrl+1 code, Ctrl+2
// name, Ctrl+3 county).
void FilterKeystrokeWidening(benchmark::State& state)
{
    LoadedWindow loaded;
    loaded.window.tabel->sortByColumn(int(state.range(0)), Qt::AscendingOrder);
    for (auto _ : state) {
        state.PauseTiming();
        loaded.window.filtru->setText(QStringLiteral("FIRMA 0"));
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QTest::keyClick(loaded.window.filtru, Qt::Key_Backspace);
        loaded.window.repaint();
        benchmark::DoNotOptimize(loaded.window.model()->rowCount());
    }
}

// The whole register sorted by another column (the argument, as above: 1
// name, 2 county), from the code order, until the table is painted again.
void MonthWindowSort(benchmark::State& state)
{
    LoadedWindow loaded;
    for (auto _ : state) {
        state.PauseTiming();
        loaded.window.tabel->sortByColumn(0, Qt::AscendingOrder);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        loaded.window.tabel->sortByColumn(int(state.range(0)), Qt::AscendingOrder);
        loaded.window.repaint();
        benchmark::DoNotOptimize(loaded.window.model()->rowCount());
    }
}

// A colleague's save shown in the month window open on a register on a
// server, from their commit to the window's first row showing it. The
// argument: 0 a declaration saved (only the month's declarations are read
// again), 1 a payer saved (the register is read again).
void MonthWindowColleagueSave(benchmark::State& state)
{
    if (!IsServerConnection(databasePath)) {
        state.SkipWithError("a register file has no colleagues at the same time");
        return;
    }
    test::FakePrompts prompts;
    platform().prompts = &prompts;
    Tdm dm(databasePath);
    TfSituatieLuna window(dm, nullptr);
    window.setWindowModality(Qt::ApplicationModal);
    window.showMonth(march2006);
    window.model()->finishLoading();
    window.show();
    ColleagueRefresh refresh(dm);
    Tdm colleague(databasePath);
    const qint64 payerId = window.model()->payerAt(0).payerId;
    const bool payerSaved = state.range(0) == 1;
    Statement save(colleague.con,
        payerSaved
            ? QStringLiteral("UPDATE firme SET denumire = :value WHERE id = :id")
            : QStringLiteral("UPDATE declaratii SET nrsal = :value WHERE idfirma = :id AND ln = 3 AND an = 2006"));
    int n = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("FIRMA SCHIMBATA %1").arg(++n);
        save.reset();
        save.bind(QStringLiteral("value"), payerSaved ? QVariant(name) : QVariant(1000 + n));
        save.bind(QStringLiteral("id"), payerId);
        save.step();
        const auto shown = [&] {
            const MonthRow row = window.model()->payerAt(0);
            return payerSaved ? row.legalName.contains(name) : row.employees == 1000 + n;
        };
        while (!shown())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    platform() = Platform {};
}

} // namespace

BENCHMARK(MonthWindowFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(MonthListingWholeRegister)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(MonthWindowWholeRegister)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MonthWindowBalances)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MonthWindowChangeOfMonth)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(FilterKeystrokeNarrowing)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(FilterKeystrokeWidening)->Unit(benchmark::kMillisecond)->Iterations(20)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(MonthWindowColleagueSave)->ArgName("payer")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(MonthWindowSort)->Unit(benchmark::kMillisecond)->Iterations(5)->Arg(1)->Arg(2);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    databasePath = qEnvironmentVariable("ITM_BENCH_DB");
    if (databasePath.isEmpty()) {
        databasePath = folder.filePath(QStringLiteral("register.itm"));
        QProcess::execute(
            QStringLiteral(ITM_SOURCE_DIR "/bench/generate_register.sh"), { databasePath, QStringLiteral("100000") });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
