// Merging one payer's line into a month's declaration file that already holds
// 10,000 payers: read, drop the payer's old line, append the new one, and
// write the root file and its Rez copy atomically. Goal: 30 ms.
#include "output/DeclarationFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray lineFor(int payer, const QByteArray& name)
{
    return "\"03\",\"2006\"," + QByteArray::number(10000000 + payer) + ",1,\"" + name
        + "\",1,\"40\",\"BUCURESTI\",3,\"CALEA VICTORIEI\",\"10\",\" \",\" \",\" \",\"010101\",\"0211234567\","
          "\"office@firma.ro\",\"BANCA COMERCIALA ROMANA\",\"RO49AAAA1B31007593840000\",0,0,12,2000,15,15,0,0,"
          "\"POPESCU\",\"ION\",\"ADMINISTRATOR\",0,0,\" \",\" \",\" \",0,\" \",\" \",\" \",\" \",\" \",\" \","
          "\" \",\" \",0,0,0";
}

void mergeIntoTenThousandLines(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const int payers = int(state.range(0));
    QByteArray content;
    for (int payer = 0; payer < payers; ++payer)
        content += lineFor(payer, "FIRMA " + QByteArray::number(payer)) + "\r\n";
    for (const QString& path : { root + "IM200603.txt", root + "Rez/IM200603.txt" }) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            state.SkipWithError("cannot prepare the declaration file");
            return;
        }
    }
    int round = 0;
    for (auto _ : state) {
        // A payer from the middle of the file declares again: the file keeps
        // its size from one round to the next.
        const int payer = (payers / 2 + round++) % payers;
        const QByteArray cui = QByteArray::number(10000000 + payer);
        if (!itm::SaveDeclarationFile(root, 3, 2006, cui, lineFor(payer, "FIRMA RECTIFICATA"))) {
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
