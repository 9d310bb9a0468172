// The declaration file saved from the windows onto a drive: the month's file
// of 1,000 payers from the month window (F4, "Generare discheta"), and one
// payer's line merged into a file of 10,000 lines from the drive dialog. The
// drive is a folder; its check reads the machine's real mount table, as the
// program's does.
#include "SampleDeclarationFile.h"
#include "month/TfSituatieLuna.h"
#include "output/TfSelDisck.h"
#include "platform/Drives.h"
#include "platform/Platform.h"
#include "store/Tdm.h"
#include "support/FakePrompts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace itm;

namespace {

QString databasePath;

// One listed drive, the folder root; each check costs a scan of the mount table.
class FolderDrive : public Drives
{
public:
    explicit FolderDrive(QString root)
        : m_root(std::move(root))
    {
    }
    QList<DriveInfo> scan() override
    {
        benchmark::DoNotOptimize(m_system.scan());
        return { DriveInfo { m_root, DriveKind::Removable } };
    }

private:
    QString m_root;
    LinuxDrives m_system;
};

void pressEnterIn(TfSelDisck& dialog)
{
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(dialog.lv, Qt::Key_Return); });
}

void MonthFileFromTheWindow(benchmark::State& state)
{
    QTemporaryDir stick;
    FolderDrive drive(stick.path() + u'/');
    test::FakePrompts prompts;
    platform().prompts = &prompts;
    platform().drives = &drive;
    Tdm dm(databasePath);
    TfSelDisck driveDialog;
    driveDialog.Timer1Timer();
    TfSituatieLuna window(dm, &driveDialog);
    window.showMonth({ 3, 2006 });
    for (auto _ : state) {
        state.PauseTiming();
        QDir(stick.path()).removeRecursively();
        QDir().mkpath(stick.path());
        prompts.answerOk();
        pressEnterIn(driveDialog);
        state.ResumeTiming();
        window.DischetaClick();
    }
    if (!QFile::exists(stick.filePath(QStringLiteral("IM200603.txt"))))
        state.SkipWithError("no file written");
    platform() = Platform {};
}

void OnePayerIntoTenThousandLines(benchmark::State& state)
{
    QTemporaryDir stick;
    const QString root = stick.path() + u'/';
    if (!bench::WriteSampleDeclarationFiles(root, 10000)) {
        state.SkipWithError("cannot prepare the declaration file");
        return;
    }
    FolderDrive drive(root);
    test::FakePrompts prompts;
    platform().prompts = &prompts;
    platform().drives = &drive;
    TfSelDisck driveDialog;
    driveDialog.Timer1Timer();
    int round = 0;
    for (auto _ : state) {
        const int payer = (5000 + round++) % 10000;
        driveDialog.Luna = 3;
        driveDialog.An = 2006;
        driveDialog.Cui = QString::number(10000000 + payer);
        driveDialog.Linie = QString::fromLatin1(bench::SampleDeclarationLine(payer, "FIRMA RECTIFICATA"));
        pressEnterIn(driveDialog);
        driveDialog.exec();
    }
    if (!driveDialog.lastSave() || driveDialog.lastSave()->lineCount != 10000)
        state.SkipWithError("the save did not land");
    platform() = Platform {};
}

} // namespace

BENCHMARK(MonthFileFromTheWindow)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(OnePayerIntoTenThousandLines)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    databasePath = qEnvironmentVariable("ITM_BENCH_DB");
    if (databasePath.isEmpty()) {
        databasePath = folder.filePath(QStringLiteral("month1000.itm"));
        QProcess::execute(
            QStringLiteral(ITM_SOURCE_DIR "/bench/generate_register.sh"), { databasePath, QStringLiteral("1000") });
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
