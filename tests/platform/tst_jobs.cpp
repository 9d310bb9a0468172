#include "platform/QtJobs.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <stdexcept>

using namespace itm;

namespace {

QProgressDialog* visibleBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QProgressDialog*>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

class TestJobs : public QObject
{
    Q_OBJECT
private slots:
    void countText_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("no total") << qint64(3) << qint64(0) << QString();
        QTest::newRow("part") << qint64(3) << qint64(282) << QStringLiteral("3 din 282");
        QTest::newRow("past the end") << qint64(300) << qint64(282) << QStringLiteral("282 din 282");
    }
    void countText()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(QString, text);
        QCOMPARE(JobProgress::countText(done, total), text);
    }

    void aCancelPastThePointOfNoReturnIsRefused()
    {
        JobProgress progress;
        progress.requestCancel();
        QVERIFY(progress.isCancelled());
        progress.setCancellable(false);
        QVERIFY(!progress.isCancelled());
        progress.checkCancelled();
    }

    // The box appears after half a second; "Renunta" in it stops the work, on
    // its own thread or on the window's.
    void renuntaInTheBoxCancels_data()
    {
        QTest::addColumn<JobThread>("where");
        QTest::newRow("background") << JobThread::Background;
        QTest::newRow("window") << JobThread::Window;
    }
    void renuntaInTheBoxCancels()
    {
        QFETCH(JobThread, where);
        QtJobs jobs;
        bool escaped = false;
        QTimer pressEscape;
        QObject::connect(&pressEscape, &QTimer::timeout, [&] {
            if (QProgressDialog* box = visibleBox(); box && !escaped) {
                QVERIFY(box->labelText().contains(QStringLiteral("din 20000")));
                escaped = true;
                QPushButton* cancel = box->findChild<QPushButton*>();
                QVERIFY(cancel && cancel->text() == QStringLiteral("&Renunta"));
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        pressEscape.start(20);
        qint64 reached = 0;
        const JobOutcome outcome = jobs.run(nullptr, QStringLiteral("Lucru lung"), where, [&](JobProgress& progress) {
            progress.setTotal(20000);
            for (qint64 i = 0; i < 20000; ++i) {
                progress.checkCancelled();
                QThread::msleep(1);
                progress.setDone(i + 1);
                reached = i + 1;
            }
        });
        QVERIFY(escaped);
        QCOMPARE(outcome, JobOutcome::Cancelled);
        QVERIFY(reached < 20000);
        QVERIFY(!visibleBox());
    }

    // Ctrl+C in a terminal asks the work to stop instead of ending the
    // process halfway; afterwards Ctrl+C does what it did before.
    void ctrlCStopsATerminalJob()
    {
        struct sigaction before
        {
        };
        ::sigaction(SIGINT, nullptr, &before);
        bool reachedTheEnd = false;
        const JobOutcome outcome = RunInTerminal(QStringLiteral("x"), [&](JobProgress& progress) {
            std::raise(SIGINT);
            progress.checkCancelled();
            reachedTheEnd = true;
        });
        QCOMPARE(outcome, JobOutcome::Cancelled);
        QVERIFY(!reachedTheEnd);
        struct sigaction now
        {
        };
        ::sigaction(SIGINT, nullptr, &now);
        QVERIFY(now.sa_handler == before.sa_handler);
    }

    void anErrorOfTheWorkReachesTheCaller()
    {
        QtJobs jobs;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
            jobs.run(nullptr, QStringLiteral("x"), JobThread::Background,
                [](JobProgress&) { throw std::runtime_error("disc plin"); }));
    }
};

QTEST_MAIN(TestJobs)
#include "tst_jobs.moc"
