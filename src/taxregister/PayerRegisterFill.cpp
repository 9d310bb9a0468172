#include "taxregister/PayerRegisterFill.h"

#include "platform/Clock.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "store/Dataset.h"
#include "taxregister/InputBlock.h"
#include "taxregister/PayerFill.h"
#include "taxregister/RegisterCode.h"
#include "taxregister/RegisterService.h"
#include "taxregister/RegistrationStatus.h"

#include <QLineEdit>
#include <QShortcut>

namespace itm {

PayerRegisterFill::PayerRegisterFill(Panel panel, QWidget* host)
    : QObject(host)
    , m_panel(std::move(panel))
    , m_service(new RegisterService(this))
{
    setObjectName(QStringLiteral("registerFill"));
    connect(m_service, &RegisterService::finished, this,
        [this](const RegisterOutcome& outcome) { runGuarded([&] { answered(outcome); }); });
    auto* key = new QShortcut(QKeySequence(Qt::Key_F3), host, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(key, &QShortcut::activated, this, [this] { runGuarded([this] { start(); }); });
}

PayerRegisterFill::~PayerRegisterFill() = default;

void PayerRegisterFill::start()
{
    if (isWaiting())
        return;
    Dataset& payers = *m_panel.payers;
    if (payers.State() != DatasetState::Insert) {
        platform().prompts->message(QStringLiteral("Datele din registrul ANAF se preiau numai pentru o firma noua"));
        return;
    }
    m_code = payers.FieldByName(QStringLiteral("cui")).AsString();
    if (ClassifyRegisterCode(m_code) != RegisterCodeKind::Company) {
        platform().prompts->message(RegisterFailureMessage({ RegisterFailure::NotCompany }));
        return;
    }
    if (!m_addressTold && m_service->usesConfiguredAddress()) {
        // Once a session: the payer codes go elsewhere than the documented
        // service only with the user knowing it.
        m_addressTold = true;
        if (const QString notice = RegisterService::addressNotice(); !notice.isEmpty())
            platform().prompts->notice(QStringLiteral("Atentie"), notice);
    }
    m_wait = std::make_unique<InputBlock>(this, [this] { m_service->cancel(); });
    const QDate today = platform().clock ? platform().clock->today() : QDate::currentDate();
    m_service->lookUp({ m_code }, today);
}

void PayerRegisterFill::answered(const RegisterOutcome& outcome)
{
    m_wait.reset();
    if (outcome.failure == RegisterFailure::Cancelled)
        return;
    const RegisterEntry* entry = outcome.entryFor(m_code);
    // The record may have been left while the question ran (the window closed).
    if (m_panel.payers->State() != DatasetState::Insert)
        return;
    if (!entry) {
        const RegisterFailure failure
            = outcome.failure == RegisterFailure::None ? RegisterFailure::NotFound : outcome.failure;
        RegisterOutcome shown = outcome;
        shown.failure = failure;
        platform().prompts->message(RegisterFailureMessage(shown));
        return;
    }
    // A firm struck off or inactive is rarely one to declare for: the user
    // sees its status before anything is filled, and may still take the data.
    const RegistrationStatus status = RegistrationStatusOf(*entry);
    if (!status.isActive()
        && !platform().prompts->confirm(QStringLiteral("Firma este %1 in registrul ANAF. Preluati totusi datele ei?")
                                            .arg(RegistrationStatusText(status))))
        return;
    fill(PayerFillFromEntry(*entry, CountyRows(*m_panel.counties)));
}

void PayerRegisterFill::fill(const PayerFill& data)
{
    Dataset& payers = *m_panel.payers;
    // What was typed but not yet written goes into the buffer first, so that
    // it is kept where the register has nothing, and replaced where it has.
    payers.UpdateRecord();
    QLineEdit* county = m_panel.county;
    if (county->hasFocus() && !data.countyName.isEmpty()) {
        // The county field writes its matched county when it is left: it is
        // given the register's county and left now, before the data go in,
        // so that its exit rule (Bucharest resets the sector) runs first.
        county->setText(data.countyName);
        m_panel.nameButton->setFocus(Qt::OtherFocusReason);
    }
    WritePayerFill(payers, data);
    if (!data.countyName.isEmpty())
        m_panel.sector->setEnabled(data.bucharest);
    if (m_panel.showName)
        m_panel.showName();
    firstEmptyField()->setFocus(Qt::OtherFocusReason);
}

QWidget* PayerRegisterFill::firstEmptyField() const
{
    Dataset& payers = *m_panel.payers;
    for (const auto& [control, column] : m_panel.fields) {
        if (!control->isEnabled())
            continue;
        const QString text = payers.FieldByName(column).AsString().trimmed();
        if (text.isEmpty() || (control == m_panel.sector && text == u"0"))
            return control;
    }
    return m_panel.lastControl;
}

} // namespace itm
