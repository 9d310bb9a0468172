// The main window over a generated register (100,000 payers, or the file
// ITM_BENCH_DB names): start-up to the shown window and to the whole register
// read, completion in the payer-code field, entering it, posting a payer,
// saving a declaration, and the memory the program holds.
#include "app/Startup.h"
#include "app/TDecl.h"
#include "declaration/DeclarationPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "platform/Platform.h"
#include "store/ServerConnection.h"
#include "store/Tdm.h"
#include "support/FakeClock.h"
#include "support/FakePrompts.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace itm;

namespace {

QString databasePath;

struct Program
{
    test::FakePrompts prompts;
    test::FakeClock clock;
    test::FakeShell shell;
    std::unique_ptr<ProgramObjects> objects = std::make_unique<ProgramObjects>();
    std::unique_ptr<TDecl>& window = objects->Decl;
    std::unique_ptr<Tdm>& dm = objects->dm;

    // The start-up of main, up to the window shown. waitForRegister: the keys
    // of the register are read in the background after the window shows; the
    // benchmarks of what follows start once they are there and the drop-down
    // has been told.
    explicit Program(bool waitForRegister = true)
    {
        platform().prompts = &prompts;
        platform().clock = &clock;
        platform().shell = &shell;
        if (!createProgram(*objects, databasePath))
            qFatal("the program did not start: %s", qPrintable(prompts.texts().join(u'\n')));
        window->show();
        QApplication::setActiveWindow(window.get());
        settle();
        if (waitForRegister) {
            dm->qryFirme->RecordCount();
            settle();
        }
    }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
};

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

void StartupToShownWindow(benchmark::State& state)
{
    for (auto _ : state) {
        Program program(false);
        benchmark::DoNotOptimize(program.window.get());
        state.PauseTiming();
        program.objects.reset();
        state.ResumeTiming();
    }
}

// Until the whole register is read: the keys of a large one are read in the
// background after the window shows, and the row count waits for them.
void StartupToRegisterRead(benchmark::State& state)
{
    for (auto _ : state) {
        Program program(false);
        benchmark::DoNotOptimize(program.dm->qryFirme->RecordCount());
        state.PauseTiming();
        program.objects.reset();
        state.ResumeTiming();
    }
}

void EnterPayerCodeField(benchmark::State& state)
{
    Program program;
    for (auto _ : state) {
        program.window->cui->setFocus();
        Program::settle();
        benchmark::DoNotOptimize(program.window->cui->dropDown());
        state.PauseTiming();
        program.window->cui->setText(QStringLiteral("1"));
        program.window->leg->setFocus();
        Program::settle();
        state.ResumeTiming();
    }
}

void KeystrokeCompletion(benchmark::State& state)
{
    Program program;
    TVelaDBAutoCompletitionEdit* cui = program.window->cui;
    cui->setFocus();
    Program::settle();
    int i = 0;
    for (auto _ : state) {
        // Each keystroke finds a payer no keystroke found before (on a
        // server, the rows read lately are kept): "10" to "99", then a digit
        // from 1 to 9, the pairs all different.
        state.PauseTiming();
        cui->setText(QString::number(10 + i % 90));
        cui->setSelection(2, int(cui->text().size()) - 2);
        const char digit = char('1' + (i / 90 + i) % 9);
        ++i;
        state.ResumeTiming();
        QTest::keyClick(cui, digit);
        benchmark::DoNotOptimize(cui->text());
    }
}

// A letter ignores case: every way of writing it is searched, and a register
// of digits has no row that matches.
void KeystrokeCompletionLetter(benchmark::State& state)
{
    Program program;
    TVelaDBAutoCompletitionEdit* cui = program.window->cui;
    cui->setFocus();
    Program::settle();
    for (auto _ : state) {
        state.PauseTiming();
        cui->setText(QStringLiteral("1"));
        cui->setSelection(1, int(cui->text().size()) - 1);
        state.ResumeTiming();
        QTest::keyClick(cui, 'r');
        benchmark::DoNotOptimize(cui->text());
    }
}

// A key typed the instant the window shows, while the register's keys are
// still read in the background: a digit (range 0) or a letter (range 1) is
// answered from the database's index, not after the read.
void KeystrokeAtShow(benchmark::State& state)
{
    const char key = state.range(0) == 0 ? '5' : 'r';
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<Program>(false);
        TVelaDBAutoCompletitionEdit* cui = program->window->cui;
        cui->setFocus();
        state.ResumeTiming();
        QTest::keyClick(cui, key);
        benchmark::DoNotOptimize(cui->text());
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}

void PayerPostRefreshLocate(benchmark::State& state)
{
    Program program;
    Dataset& payers = *program.dm->qryFirme;
    payers.Locate(QStringLiteral("cui"), QStringLiteral("5"), LocateCaseInsensitive | LocatePartialKey);
    const QString code = payers.FieldByName(QStringLiteral("cui")).AsString();
    int n = 0;
    for (auto _ : state) {
        payers.Edit();
        payers.FieldByName(QStringLiteral("loc")).setAsString(QStringLiteral("CRAIOVA %1").arg(n++));
        payers.Post();
        payers.Refresh();
        payers.Locate(QStringLiteral("cui"), code, LocateCaseInsensitive);
    }
}

void SaveDeclaration(benchmark::State& state)
{
    Program program;
    Dataset& payers = *program.dm->qryFirme;
    Dataset& declarations = *program.dm->qryDeclaratii;
    payers.Locate(QStringLiteral("cui"), QStringLiteral("5"), LocateCaseInsensitive | LocatePartialKey);
    const QString code = payers.FieldByName(QStringLiteral("cui")).AsString();
    const QVariant id = payers.FieldByName(QStringLiteral("id")).AsVariant();
    declarations.setParam(QStringLiteral("idfirma"), id);
    declarations.setParam(QStringLiteral("luna"), QStringLiteral("03"));
    declarations.setParam(QStringLiteral("anul"), QStringLiteral("2006"));
    declarations.Open();
    int n = 0;
    for (auto _ : state) {
        payers.Edit();
        declarations.Edit();
        declarations.FieldByName(QStringLiteral("comac")).setAsInteger(n++);
        payers.Post();
        payers.Refresh();
        payers.Locate(QStringLiteral("cui"), code, LocateCaseInsensitive);
        declarations.Post();
        declarations.Refresh();
        declarations.Locate(QStringLiteral("idfirma;ln;an"), { id, 3, 2006 });
    }
}

// A colleague's program saves the payer the window shows, on a register on a
// server: until the window shows the save (the server's notice, the window's
// look at it, the payers read again).
void ColleagueSaveShown(benchmark::State& state)
{
    if (!IsServerConnection(databasePath)) {
        state.SkipWithError("a register file has no colleagues at the same time");
        return;
    }
    Program program;
    Tdm colleague(databasePath);
    Dataset& theirs = *colleague.qryFirme;
    const Dataset& mine = *program.dm->qryFirme;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString phone = QStringLiteral("07%1").arg(n++);
        theirs.Edit();
        theirs.FieldByName(QStringLiteral("telefon")).setAsString(phone);
        state.ResumeTiming();
        theirs.Post();
        while (mine.fieldText(QStringLiteral("telefon")) != phone)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void MemoryWithRegisterLoaded(benchmark::State& state)
{
    Program program;
    program.window->cui->setFocus();
    Program::settle();
    for (auto _ : state)
        benchmark::DoNotOptimize(program.dm->qryFirme->RecordCount());
    state.counters["RSS_MB"] = double(residentKilobytes()) / 1024.0;
}

} // namespace

BENCHMARK(StartupToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(StartupToRegisterRead)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(EnterPayerCodeField)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(KeystrokeCompletion)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(KeystrokeCompletionLetter)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(KeystrokeAtShow)->ArgName("letter")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PayerPostRefreshLocate)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(SaveDeclaration)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(ColleagueSaveShown)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(MemoryWithRegisterLoaded)->Iterations(1);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QDir::setCurrent(QStringLiteral(ITM_SOURCE_DIR "/assets"));
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
