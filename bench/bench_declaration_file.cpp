// Merging one payer's line into a month's declaration file that already holds
// 10,000 payers: read, drop the payer's old line, append the new one, and
// write the root file and its Rez copy atomically. Goal: 30 ms.
#include "SampleDeclarationFile.h"
#include "output/DeclarationFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void mergeIntoTenThousandLines(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const int payers = int(state.range(0));
    if (!itm::bench::WriteSampleDeclarationFiles(root, payers)) {
        state.SkipWithError("cannot prepare the declaration file");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        // A payer from the middle of the file declares again: the file keeps
        // its size from one round to the next.
        const int payer = (payers / 2 + round++) % payers;
        const QByteArray cui = QByteArray::number(10000000 + payer);
        if (!itm::SaveDeclarationFile(
                root, 3, 2006, cui, itm::bench::SampleDeclarationLine(payer, "FIRMA RECTIFICATA"))) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(mergeIntoTenThousandLines)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
