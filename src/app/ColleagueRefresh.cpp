#include "app/ColleagueRefresh.h"

#include "month/TfSituatieLuna.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Dataset.h"
#include "store/ServerSchema.h"
#include "store/Tdm.h"

#include <QApplication>
#include <utility>

namespace itm {

namespace {

// Within a second of the save, at the cost of one look at the connection.
constexpr int checkEveryMs = 250;

} // namespace

QString LostServerMessage()
{
    return QStringLiteral("Legatura cu serverul registrului s-a pierdut. Ce ati scris ramane in fereastra; "
                          "la urmatoarea salvare programul se leaga din nou de server.");
}

ColleagueRefresh::ColleagueRefresh(Tdm& dm, QObject* parent)
    : QObject(parent)
    , m_dm(dm)
    , m_seen(dm.con.dataVersion())
{
    m_timer.setInterval(checkEveryMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { runGuarded([this] { check(); }); });
    m_timer.start();
}

void ColleagueRefresh::check()
{
    editWhatIsRead();
    const qint64 version = m_dm.con.dataVersion();
    // Said once, however long the server stays away; what is typed stays in
    // the window, and the next save links again.
    if (m_dm.con.lost()) {
        if (!m_lossReported) {
            m_lossReported = true;
            platform().prompts->message(LostServerMessage());
        }
        return;
    }
    m_lossReported = false;
    if (version != m_seen) {
        m_seen = version;
        m_mainWindowBehind = true;
        m_monthWindowBehind = true;
        // The payers, and the payers whose declarations, were saved since
        // the month window read them; all when the server did not say which.
        noteSaved(m_savedPayers, QStringLiteral("firme"));
        noteSaved(m_declarationsOf, QStringLiteral("declaratii"));
    }
    if (!m_mainWindowBehind && !m_monthWindowBehind)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* month = qobject_cast<TfSituatieLuna*>(modal)) {
        if (m_monthWindowBehind) {
            m_monthWindowBehind = false;
            month->showColleaguesSaves(
                std::exchange(m_savedPayers, QSet<qint64>()), std::exchange(m_declarationsOf, QSet<qint64>()));
        }
        return;
    }
    // A month window opened later reads the month itself.
    m_monthWindowBehind = false;
    m_savedPayers = QSet<qint64>();
    m_declarationsOf = QSet<qint64>();
    if (modal || QApplication::activePopupWidget())
        return;
    for (Dataset* dataset : { m_dm.qryFirme, m_dm.qryDeclaratii }) {
        if (dataset->Active() && dataset->holdsUnsavedInput())
            return;
    }
    m_mainWindowBehind = false;
    readAgain(*m_dm.qryFirme);
    readAgain(*m_dm.qryDeclaratii);
}

void ColleagueRefresh::noteSaved(std::optional<QSet<qint64>>& saved, const QString& table)
{
    const std::optional<QSet<qint64>> told = m_dm.con.takeSavedRows(table);
    if (!told)
        saved.reset();
    else if (saved)
        saved->unite(*told);
    // Reading many rows one by one costs more than reading them all.
    if (saved && saved->size() > PayerNoticeMostIds)
        saved.reset();
}

void ColleagueRefresh::readAgain(Dataset& dataset)
{
    if (!dataset.Active())
        return;
    // The window keeps the payer shown in editing, ready for typing; a large
    // register is read in the background, and the edit begins once it is.
    const bool editing = dataset.State() == DatasetState::Edit;
    dataset.RefreshInBackground();
    if (editing)
        m_editWhenRead.append(&dataset);
    editWhatIsRead();
}

void ColleagueRefresh::editWhatIsRead()
{
    for (qsizetype i = m_editWhenRead.size() - 1; i >= 0; --i) {
        Dataset* dataset = m_editWhenRead.at(i);
        if (dataset && !dataset->keysReady())
            continue;
        m_editWhenRead.removeAt(i);
        if (dataset && dataset->Active() && dataset->State() == DatasetState::Browse && !dataset->IsEmpty())
            dataset->Edit();
    }
}

} // namespace itm
