#include "taxregister/RegisterService.h"

#include "taxregister/RegisterAnswer.h"
#include "taxregister/RegisterCode.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
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

// The network layer reads ahead no more than this for us; we take what it
// read at every readyRead and stop at the size limit.
constexpr qint64 kReadAhead = 64 * 1024;

const char* const kVariable = "ITM_REGISTER_SERVICE";

// Whether the variable's address may be asked: https anywhere, plain http only
// on this computer.
bool isAcceptedAddress(const QUrl& address)
{
    if (!address.isValid() || address.host().isEmpty())
        return false;
    if (address.scheme() == u"https")
        return true;
    const QString host = address.host();
    return address.scheme() == u"http" && (host == u"127.0.0.1" || host == u"localhost");
}

// An address as the user is shown it: every control character escaped.
QString shownAddress(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, ":/?#[]@!$&'()*+,;=%~"));
}

// Why the secure connection was refused, in words a user can act on; Qt's
// own text for the rarer reasons.
QString sslReason(const QSslError& error)
{
    switch (error.error()) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
        return QStringLiteral("certificat semnat de el insusi, nerecunoscut");
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return QStringLiteral("emitentul certificatului nu este cunoscut: lipsesc certificatele de autoritate sau "
                              "un proxy filtreaza conexiunea");
    case QSslError::CertificateNotYetValid:
    case QSslError::CertificateExpired:
        return QStringLiteral("certificat expirat sau inca nevalid: verificati data si ora calculatorului");
    case QSslError::HostNameMismatch:
        return QStringLiteral("certificatul nu este al adresei cerute");
    default:
        return error.errorString();
    }
}

} // namespace

QUrl RegisterService::documentedAddress()
{
    return QUrl(QStringLiteral("https://webservicesp.anaf.ro/api/PlatitorTvaRest/v9/tva"));
}

QUrl RegisterService::configuredAddress()
{
    const QString configured = qEnvironmentVariable(kVariable);
    if (configured.isEmpty())
        return documentedAddress();
    const QUrl address(configured, QUrl::StrictMode);
    return isAcceptedAddress(address) ? address : documentedAddress();
}

QString RegisterService::addressNotice()
{
    const QString configured = qEnvironmentVariable(kVariable);
    if (configured.isEmpty())
        return QString();
    const QUrl address(configured, QUrl::StrictMode);
    if (!isAcceptedAddress(address)) {
        return QStringLiteral("%1=%2 nu este folosita (se accepta numai o adresa https:// sau http://127.0.0.1, "
                              "http://localhost); se consulta adresa documentata %3")
            .arg(QLatin1String(kVariable), shownAddress(configured), documentedAddress().toString());
    }
    if (address == documentedAddress())
        return QString();
    return QStringLiteral("Registrul ANAF se consulta la adresa %1 (din %2), nu la adresa documentata")
        .arg(address.toString(QUrl::FullyEncoded), QLatin1String(kVariable));
}

RegisterService::RegisterService(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<itm::RegisterOutcome>();
    // A redirect would send the codes to an address nobody chose; the
    // service documents none.
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_pacing.setSingleShot(true);
    connect(&m_pacing, &QTimer::timeout, this, &RegisterService::send);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        m_pacing.stop();
        finish({ RegisterFailure::TimeOut, 0, secondsOf(m_timeoutMs) });
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
    m_deadline.start(m_timeoutMs);
    QElapsedTimer& last = lastQuestion();
    const qint64 wait = last.isValid() ? m_intervalMs - last.elapsed() : 0;
    m_pacing.start(int(std::max<qint64>(wait, 0)));
}

void RegisterService::send()
{
    lastQuestion().start();
    m_answer.clear();
    m_sslErrors.clear();
    QNetworkRequest request(m_address.isEmpty() ? configuredAddress() : m_address);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setRawHeader("Accept", "application/json");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network->post(request, RegisterRequestBody(m_codes, m_day));
    m_reply->setReadBufferSize(kReadAhead);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_reply ? m_reply->header(QNetworkRequest::ContentLengthHeader) : QVariant();
        if (length.isValid() && length.toLongLong() > kMaxRegisterAnswerBytes)
            finish({ RegisterFailure::TooLarge });
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &RegisterService::readAnswer);
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const QSslError& error : errors) {
            const QString reason = sslReason(error);
            if (!m_sslErrors.contains(reason))
                m_sslErrors.append(reason);
        }
    });
    connect(m_reply, &QNetworkReply::finished, this, &RegisterService::replyFinished);
}

void RegisterService::readAnswer()
{
    if (!m_reply || sender() != m_reply)
        return;
    m_answer += m_reply->read(kMaxRegisterAnswerBytes + 1 - m_answer.size());
    if (m_answer.size() > kMaxRegisterAnswerBytes)
        finish({ RegisterFailure::TooLarge });
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
    readAnswer();
    if (m_reply)
        finish(outcomeOf(m_reply));
}

RegisterOutcome RegisterService::outcomeOf(QNetworkReply* reply)
{
    if (reply->error() == QNetworkReply::TimeoutError)
        return { RegisterFailure::TimeOut, 0, secondsOf(m_timeoutMs) };
    if (reply->error() == QNetworkReply::SslHandshakeFailedError) {
        const QString why = m_sslErrors.isEmpty() ? reply->errorString() : m_sslErrors.join(QStringLiteral("; "));
        return { RegisterFailure::SecureChannel, 0, 0, why };
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0 || isConnectionError(reply->error()))
        return { RegisterFailure::NoNetwork, 0, 0, reply->errorString() };
    if (status >= 300 && status < 400) {
        // Not followed: the service answers in place, never elsewhere.
        const QString target = reply->rawHeader("Location").isEmpty()
            ? QString()
            : QStringLiteral("redirectionare catre %1")
                  .arg(shownAddress(QString::fromLatin1(reply->rawHeader("Location"))));
        return { RegisterFailure::Malformed, 0, 0, target };
    }

    // An error status may still carry the documented answer (the service
    // answers "none of these" that way too); anything else is the error.
    const auto answer = ParseRegisterAnswer(m_answer);
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
    m_answer.clear();
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
