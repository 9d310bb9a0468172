#include "taxregister/RegisterService.h"

#include "taxregister/RegisterAnswer.h"
#include "taxregister/RegisterCode.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>

namespace itm {

namespace {

// When the last question of this process started: the service allows about
// one a second per client, whichever window or command asks.
QElapsedTimer& lastQuestion()
{
    static QElapsedTimer timer;
    return timer;
}

// Errors of the connection itself, before any HTTP answer (Qt numbers them
// below 200: connection and proxy errors).
bool isConnectionError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && int(error) < 200;
}

int secondsOf(int milliseconds)
{
    return (milliseconds + 999) / 1000;
}

} // namespace

QUrl RegisterService::documentedAddress()
{
    return QUrl(QStringLiteral("https://webservicesp.anaf.ro/api/PlatitorTvaRest/v9/tva"));
}

QUrl RegisterService::configuredAddress()
{
    const QString configured = qEnvironmentVariable("ITM_REGISTER_SERVICE");
    return configured.isEmpty() ? documentedAddress() : QUrl(configured);
}

RegisterService::RegisterService(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<itm::RegisterOutcome>();
    m_pacing.setSingleShot(true);
    connect(&m_pacing, &QTimer::timeout, this, &RegisterService::send);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        if (m_reply)
            m_reply->abort();
    });
}

RegisterService::~RegisterService()
{
    dropReply();
}

void RegisterService::lookUp(const QStringList& codes, const QDate& day)
{
    if (m_busy)
        cancel();
    m_busy = true;
    ++m_question;
    m_codes = codes;
    m_day = day;
    m_timedOut = false;
    const bool onlyCompanies = std::all_of(codes.begin(), codes.end(),
        [](const QString& code) { return ClassifyRegisterCode(code) == RegisterCodeKind::Company; });
    if (codes.isEmpty() || codes.size() > kMaxCodesPerRequest || !onlyCompanies) {
        // Reported after the caller has returned, as every other end is.
        QMetaObject::invokeMethod(
            this,
            [this, question = m_question] {
                if (m_busy && question == m_question)
                    finish({ RegisterFailure::NotCompany });
            },
            Qt::QueuedConnection);
        return;
    }
    QElapsedTimer& last = lastQuestion();
    const qint64 wait = last.isValid() ? m_intervalMs - last.elapsed() : 0;
    m_pacing.start(int(std::max<qint64>(wait, 0)));
}

void RegisterService::send()
{
    lastQuestion().start();
    QNetworkRequest request(m_address.isEmpty() ? configuredAddress() : m_address);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Accept", "application/json");
    m_reply = m_network->post(request, RegisterRequestBody(m_codes, m_day));
    connect(m_reply, &QNetworkReply::finished, this, &RegisterService::replyFinished);
    m_deadline.start(m_timeoutMs);
}

void RegisterService::cancel()
{
    if (!m_busy)
        return;
    m_pacing.stop();
    finish({ RegisterFailure::Cancelled });
}

void RegisterService::replyFinished()
{
    if (!m_reply || sender() != m_reply)
        return;
    finish(outcomeOf(m_reply));
}

RegisterOutcome RegisterService::outcomeOf(QNetworkReply* reply) const
{
    if (m_timedOut || reply->error() == QNetworkReply::TimeoutError)
        return { RegisterFailure::TimeOut, 0, secondsOf(m_timeoutMs) };
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0 || isConnectionError(reply->error()))
        return { RegisterFailure::NoNetwork, 0, 0, reply->errorString() };

    // An error status may still carry the documented answer (the service
    // answers "none of these" that way too); anything else is the error.
    const auto answer = ParseRegisterAnswer(reply->readAll());
    if (!answer)
        return status == 200 ? RegisterOutcome { RegisterFailure::Malformed }
                             : RegisterOutcome { RegisterFailure::HttpError, status };
    const bool listsSomething = !answer->found.isEmpty() || !answer->notFound.isEmpty();
    if (status != 200 && !(listsSomething && answer->found.isEmpty()))
        return { RegisterFailure::HttpError, status };
    if (status == 200 && answer->code != 200 && !listsSomething)
        return { RegisterFailure::HttpError, answer->code };

    RegisterOutcome outcome;
    outcome.found = answer->found;
    const bool anyAsked = std::any_of(
        m_codes.begin(), m_codes.end(), [&](const QString& code) { return outcome.entryFor(code) != nullptr; });
    if (!anyAsked)
        outcome.failure = RegisterFailure::NotFound;
    return outcome;
}

void RegisterService::finish(RegisterOutcome outcome)
{
    dropReply();
    m_deadline.stop();
    m_busy = false;
    Q_EMIT finished(outcome);
}

void RegisterService::dropReply()
{
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    if (reply->isRunning())
        reply->abort();
    reply->deleteLater();
}

} // namespace itm
