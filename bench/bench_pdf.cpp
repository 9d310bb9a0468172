// Laying out and rendering the printed declaration: one page, filled from
// in-memory records, laid out and written to a PDF file.
#include "output/FormData.h"
#include "output/PagePainter.h"
#include "output/PrintedForms.h"
#include "store/RecordReader.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

itm::RowRecord record(std::initializer_list<std::pair<const char*, QVariant>> values)
{
    itm::RowRecord row;
    for (const auto& [column, value] : values)
        row.setValue(QString::fromLatin1(column), value);
    return row;
}

struct Records
{
    itm::RowRecord declaration = record({ { "ln", qint64(3) }, { "an", qint64(2006) }, { "rectificativ", qint64(0) },
        { "com25", qint64(0) }, { "nrsal", qint64(12) }, { "fondlunsal", 20000.0 }, { "comdat", qint64(150) },
        { "comac", qint64(100) }, { "comdec", qint64(0) }, { "comdecac", qint64(0) } });
    itm::RowRecord payer = record({ { "cui", QStringLiteral("RO1234567") }, { "prefix", qint64(1) },
        { "denumire", QStringLiteral("ALFA CONSTRUCT") }, { "sufix", qint64(1) },
        { "loc", QStringLiteral("BUCURESTI") }, { "sector", qint64(3) }, { "str", QStringLiteral("VICTORIEI") },
        { "nr", QStringLiteral("10") }, { "bloc", QStringLiteral("A1") }, { "scara", QStringLiteral("2") },
        { "ap", QStringLiteral("14") }, { "codpostal", QStringLiteral("010101") },
        { "telefon", QStringLiteral("0211234567") }, { "email", QStringLiteral("office@alfa.ro") },
        { "banca", QStringLiteral("BCR") }, { "cont", QStringLiteral("RO49RNCB0082044161370001") },
        { "numerep", QStringLiteral("POPESCU") }, { "prenumerep", QStringLiteral("ION") },
        { "funcrep", QStringLiteral("ADMINISTRATOR") }, { "faliment", qint64(1) },
        { "lcui", QStringLiteral("1900101000006") }, { "ldenumire", QStringLiteral("LICHIDATOR SPRL") },
        { "lloc", QStringLiteral("CLUJ-NAPOCA") }, { "lsector", qint64(0) }, { "lstr", QStringLiteral("HOREA") },
        { "lnr", QStringLiteral("7") }, { "lbloc", QStringLiteral(" ") }, { "lscara", QStringLiteral(" ") },
        { "lap", QStringLiteral(" ") }, { "ltelefon", QStringLiteral("0264111222") },
        { "lemail", QStringLiteral("l@ex.ro") }, { "lzi", qint64(5) }, { "lln", qint64(3) }, { "lan", qint64(2006) } });
    itm::RowRecord county = record({ { "denumire", QStringLiteral("BUCURESTI") } });
    itm::RowRecord liquidatorCounty = record({ { "denumire", QStringLiteral("CLUJ") } });

    itm::FormData data() const { return { &declaration, &payer, &county, &liquidatorCounty }; }
};

const itm::PrintedFormChoice choices[]
    = { itm::PrintedFormChoice::Monthly, itm::PrintedFormChoice::Bankruptcy, itm::PrintedFormChoice::January2006 };

void BM_LayOutPage(benchmark::State& state)
{
    itm::PrintedForms forms;
    const Records records;
    const auto choice = choices[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(forms.layOut(choice, records.data()));
}
BENCHMARK(BM_LayOutPage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The whole print to a file: fill step, layout and PDF of one page.
void BM_LayOutAndWritePdf(benchmark::State& state)
{
    itm::PrintedForms forms;
    const Records records;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    const auto choice = choices[state.range(0)];
    for (auto _ : state) {
        if (!itm::WritePdf(path, { forms.layOut(choice, records.data()) })) {
            state.SkipWithError("cannot write the PDF");
            break;
        }
    }
}
BENCHMARK(BM_LayOutAndWritePdf)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
