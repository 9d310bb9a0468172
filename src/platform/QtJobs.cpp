#include "platform/QtJobs.h"

#include "platform/Prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <exception>
#include <limits>

namespace itm {

namespace {

constexpr int kShowAfterMs = 500;
constexpr int kRefreshMs = 50;

// The box of one job; refresh() copies the work's snapshot into it.
class JobBox
{
public:
    JobBox(QWidget* parent, const QString& title, JobProgress& progress)
        : m_title(title)
        , m_progress(progress)
        , m_dialog(parent)
    {
        m_dialog.setWindowTitle(programTitle());
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(std::numeric_limits<int>::max());
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_dialog.setMinimumWidth(420);
        m_dialog.setCancelButton(new QPushButton(QStringLiteral("&Renunta")));
        m_dialog.setLabelText(title);
        m_dialog.setRange(0, 0);
        // QProgressDialog shows itself from its constructor's timer; the job
        // decides when it appears instead.
        m_dialog.hide();
        // "Renunta", Escape as its shortcut and Escape handled as the dialog's
        // own rejection all ask the work to stop.
        QObject::connect(&m_dialog, &QProgressDialog::canceled, [this] { m_progress.requestCancel(); });
        QObject::connect(&m_dialog, &QDialog::rejected, [this] { m_progress.requestCancel(); });
        m_clock.start();
    }

    void refresh()
    {
        const JobProgress::Snapshot state = m_progress.snapshot();
        QString text = m_title;
        if (!state.step.isEmpty())
            text += u'\n' + state.step;
        const QString count = JobProgress::countText(state.done, state.total);
        if (!count.isEmpty())
            text += u'\n' + count;
        if (!state.cancellable)
            text += QStringLiteral("\nPrea tarziu pentru renuntare: se incheie scrierea.");
        if (m_dialog.labelText() != text)
            m_dialog.setLabelText(text);
        if (state.total > 0 && state.total <= std::numeric_limits<int>::max()) {
            if (m_dialog.maximum() != int(state.total))
                m_dialog.setRange(0, int(state.total));
            m_dialog.setValue(int(qMin(state.done, state.total)));
        }
        if (QAbstractButton* cancel = m_dialog.findChild<QPushButton*>())
            cancel->setEnabled(state.cancellable);
        if (!m_dialog.isVisible() && m_clock.elapsed() >= kShowAfterMs && !m_progress.isCancelled())
            m_dialog.show();
    }

    void close() { m_dialog.hide(); }
    QWidget* widget() { return &m_dialog; }

private:
    QString m_title;
    JobProgress& m_progress;
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
};

// While a job runs, the keys and clicks meant for the windows behind its box
// are dropped (also before the box appears): an action started meanwhile
// would work on what the job is changing.
class InputBlocker : public QObject
{
public:
    explicit InputBlocker(QWidget* box)
        : m_box(box)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Close:
            // Events reach the widgets after their native windows; only the
            // widgets' copies are judged.
            if (!watched->isWidgetType())
                return false;
            break;
        case QEvent::Shortcut:
            // A shortcut is an object of its own, owned by its widget.
            break;
        default:
            return false;
        }
        for (QObject* owner = watched; owner; owner = owner->parent()) {
            if (owner == m_box)
                return false;
        }
        return true;
    }

private:
    QWidget* m_box;
};

struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

JobOutcome QtJobs::run(QWidget* parent, const QString& title, JobThread where, const JobWork& work)
{
    JobProgress progress;
    JobBox box(parent, title, progress);
    WaitCursor waiting;
    InputBlocker blocker(box.widget());
    std::exception_ptr failure;
    bool cancelled = false;
    const auto runWork = [&] {
        try {
            work(progress);
        } catch (const JobCancelled&) {
            cancelled = true;
        } catch (...) {
            failure = std::current_exception();
        }
    };

    if (where == JobThread::Window) {
        // The work reports often; the window is repainted and the box's
        // button heard at most every few hundredths of a second.
        QElapsedTimer sinceRefresh;
        sinceRefresh.start();
        progress.setListener([&] {
            if (sinceRefresh.elapsed() < kRefreshMs)
                return;
            sinceRefresh.restart();
            box.refresh();
            QCoreApplication::processEvents();
        });
        runWork();
        progress.setListener({});
    } else {
        QEventLoop loop;
        QThread* worker = QThread::create(runWork);
        QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
        QTimer refresher;
        QObject::connect(&refresher, &QTimer::timeout, [&] { box.refresh(); });
        refresher.start(kRefreshMs);
        worker->start();
        if (!worker->isFinished())
            loop.exec();
        worker->wait();
        delete worker;
    }
    box.close();
    if (failure)
        std::rethrow_exception(failure);
    return cancelled ? JobOutcome::Cancelled : JobOutcome::Finished;
}

} // namespace itm
