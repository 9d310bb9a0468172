#pragma once

#include "store/Dataset.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <optional>

namespace itm {

class Tdm;

// Said when the link to the register's server is lost.
QString LostServerMessage();

// On a register that colleagues share (on a server), what they save shows
// here without asking: when the server tells of a save, the payers, the
// declarations and the month window open are read again, as soon as nothing
// the user typed would be lost by it (a new payer, a changed column, text
// not yet written) and no other dialog waits for an answer.
class ColleagueRefresh : public QObject
{
    Q_OBJECT
public:
    explicit ColleagueRefresh(Tdm& dm, QObject* parent = nullptr);

    // Looks once for a colleague's save and shows it when it can; the timer
    // calls it four times a second.
    void check();

private:
    void readAgain(Dataset& dataset);
    // Adds the rows of table the server named to saved (nothing: not known).
    void noteSaved(std::optional<QSet<qint64>>& saved, const QString& table);
    // The cursors that were in editing before a read in the background,
    // put back into editing once it has ended.
    void editWhatIsRead();

    Tdm& m_dm;
    QTimer m_timer;
    qint64 m_seen = 0;
    bool m_mainWindowBehind = false;
    bool m_monthWindowBehind = false;
    // The payers saved since the month window read the register; nothing:
    // not known which, so all of them.
    std::optional<QSet<qint64>> m_savedPayers = QSet<qint64>();
    // The payers whose declarations were saved since, likewise.
    std::optional<QSet<qint64>> m_declarationsOf = QSet<qint64>();
    bool m_lossReported = false;
    QList<QPointer<Dataset>> m_editWhenRead;
};

} // namespace itm
