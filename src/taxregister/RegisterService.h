#pragma once

#include "taxregister/RegisterOutcome.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace itm {

// The tax authority's public synchronous service for taxpayer data: one POST
// of up to 100 CUIs, answered with the data of those it holds. Asynchronous:
// lookUp returns at once and finished() follows, exactly once per lookUp,
// whatever the end (also for a refusal, a cancel or a time-out). One question
// at a time; questions are spaced about a second apart, as the service asks
// of its clients, across every service object of the process.
class RegisterService : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultTimeoutMs = 10000;
    static constexpr int kDefaultIntervalMs = 1000;

    // The address the service documents.
    static QUrl documentedAddress();
    // The documented address, or the one the environment variable
    // ITM_REGISTER_SERVICE names (a stand-in for tests and trials), but only
    // an https:// address or a plain http:// one on this computer
    // (127.0.0.1, localhost): the payer codes are never sent in clear
    // elsewhere.
    static QUrl configuredAddress();
    // What the user must be told about the address asked, in Romanian without
    // diacritics: which address is asked when the variable changes it, or
    // that the variable is ignored; empty when the documented one is asked
    // as documented.
    static QString addressNotice();

    explicit RegisterService(QObject* parent = nullptr);
    ~RegisterService() override;

    // The whole question, from lookUp to the answer parsed (the wait for the
    // pacing, the connection and the transfer all count).
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }
    // The least time between the starts of two questions.
    void setInterval(int milliseconds) { m_intervalMs = milliseconds; }
    // Overrides the configured address (read at every question otherwise).
    void setAddress(const QUrl& address) { m_address = address; }
    bool usesConfiguredAddress() const { return m_address.isEmpty(); }

    // Asks about the codes (CUIs only, at most 100) for the given day. A code
    // that is no CUI, or too many codes, ends in NotCompany without sending
    // anything.
    void lookUp(const QStringList& codes, const QDate& day);
    // Gives up the question under way; finished() reports Cancelled at once.
    void cancel();
    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    void finished(const itm::RegisterOutcome& outcome);

private:
    void send();
    void readAnswer();
    void replyFinished();
    RegisterOutcome outcomeOf(QNetworkReply* reply);
    void finish(RegisterOutcome outcome);
    void dropReply();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_pacing;
    QTimer m_deadline;
    QUrl m_address;
    QStringList m_codes;
    QByteArray m_answer; // the answer's body as far as it arrived
    QStringList m_sslErrors; // why the secure connection was refused
    QDate m_day;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_intervalMs = kDefaultIntervalMs;
    quint64 m_question = 0; // counts the questions, so that a late report of an earlier one is dropped
    bool m_busy = false;
};

} // namespace itm
