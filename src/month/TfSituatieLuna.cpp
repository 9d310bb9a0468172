#include "month/TfSituatieLuna.h"

#include "declaration/Period.h"
#include "exchange/ExchangeWindow.h"
#include "month/MonthTableModel.h"
#include "month/MonthTableView.h"
#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "records/TfFisa.h"
#include "store/Tdm.h"
#include "widgets/FormBuilder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace itm {

namespace {

// The first screen is read at once; the rest of the register follows in
// slices between the user's keystrokes.
constexpr int kFirstSlice = 200;
constexpr int kSlice = 2000;

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

template <int length> QWidget* digitsEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(length);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
    return edit;
}

// The totals line wraps instead of widening the window: with large amounts
// it would push the buttons off a small screen.
QWidget* totalsLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

const FormCell monthCells[] = {
    { .kind = Control::Widget,
        .name = "luna",
        .caption = "L&una / anul",
        .geometry = { .width = 32 },
        .create = &digitsEdit<2> },
    { .kind = Control::Label, .caption = "/" },
    { .kind = Control::Widget, .name = "anul", .geometry = { .width = 48 }, .create = &digitsEdit<4> },
    { .kind = Control::Label, .name = "lblLuna", .flags = Bold | Apart },
    { .kind = Control::Stretch },
    { .kind = Control::Widget,
        .name = "filtru",
        .caption = "&Filtru (cod sau denumire)",
        .geometry = { .row = 1 },
        .flags = Grow,
        .create = &makeWidget<QLineEdit> },
    { .kind = Control::Widget,
        .name = "afisare",
        .caption = "&Afisare",
        .geometry = { .row = 1 },
        .create = &makeWidget<QComboBox> },
    { .kind = Control::Widget,
        .name = "tabel",
        .geometry = { .row = 2 },
        .flags = Grow | GrowDown,
        .create = &makeWidget<MonthTableView> },
    { .kind = Control::Widget, .name = "totaluri", .geometry = { .row = 3 }, .flags = Grow, .create = &totalsLabel },
    { .kind = Control::Button, .name = "btnPreia", .caption = "&Preia luna anterioara", .geometry = { .row = 4 } },
    { .kind = Control::Button, .name = "btnDischeta", .caption = "&Generare discheta", .geometry = { .row = 4 } },
    { .kind = Control::Button, .name = "btnListare", .caption = "&Listare", .geometry = { .row = 4 } },
    { .kind = Control::Button, .name = "btnImport", .caption = "I&mport platitori", .geometry = { .row = 4 } },
    { .kind = Control::Button, .name = "btnExport", .caption = "E&xport", .geometry = { .row = 4 } },
    { .kind = Control::Stretch, .geometry = { .row = 4 } },
    { .kind = Control::Button, .name = "btnInchide", .caption = "&Inchide", .geometry = { .row = 4 } },
    { .kind = Control::Label,
        .name = "hint",
        .caption = "Enter - deschide platitorul    F5 - fisa platitorului    Spatiu, Shift+sageti - marcheaza    "
                   "Ctrl+1..9 - sortare dupa coloana    "
                   "Esc - inchide",
        .geometry = { .row = 5 } },
};

} // namespace

TfSituatieLuna::TfSituatieLuna(Tdm& dm, TfSelDisck* driveDialog, QWidget* parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_driveDialog(driveDialog)
    , m_model(new MonthTableModel(this))
    , m_loadTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("fSituatieLuna"));
    setWindowTitle(QStringLiteral("Situatia declaratiilor pe luna"));
    setModal(true);
    buildWindow();
    // Wide enough for the names, and within a small screen (1024 x 768).
    const QRect screen = parent && parent->screen() ? parent->screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(qMin(1180, screen.width() - 24), qMin(640, screen.height() - 40));
    attachKeys();
    QPushButton* registerExport = exchange::AddRegisterExportBeside(btnExport, m_dm);
    exchange::AddYearExportBeside(registerExport, m_dm.con, [this] { return m_shown.year; });
    m_loadTimer->setInterval(0);
    connect(m_loadTimer, &QTimer::timeout, this, [this] { runGuarded([this] { loadSlice(); }); });
    connect(m_model, &MonthTableModel::totalsChanged, this, &TfSituatieLuna::showTotals);
    connect(m_model, &MonthTableModel::balancesChanged, this, &TfSituatieLuna::fitAmountColumns);
    connect(m_model, &MonthTableModel::loadingFinished, this, [this] {
        fitAmountColumns();
        // Shown over the window, once it is up.
        QTimer::singleShot(0, this, [this] { runGuarded([this] { reportFaults(); }); });
    });
}

TfSituatieLuna::~TfSituatieLuna() = default;

void TfSituatieLuna::buildWindow()
{
    const FormControls form = buildForm(this, monthCells, Loose);
    luna = form.get<QLineEdit>("luna");
    anul = form.get<QLineEdit>("anul");
    lblLuna = form.get<QLabel>("lblLuna");
    filtru = form.get<QLineEdit>("filtru");
    afisare = form.get<QComboBox>("afisare");
    tabel = form.get<MonthTableView>("tabel");
    totaluri = form.get<QLabel>("totaluri");
    btnPreia = form.get<QPushButton>("btnPreia");
    btnDischeta = form.get<QPushButton>("btnDischeta");
    btnListare = form.get<QPushButton>("btnListare");
    btnImport = form.get<QPushButton>("btnImport");
    btnExport = form.get<QPushButton>("btnExport");
    btnInchide = form.get<QPushButton>("btnInchide");

    afisare->addItems({ QStringLiteral("Toti platitorii"), QStringLiteral("Declarati"), QStringLiteral("Nedeclarati"),
        QStringLiteral("Cu restante") });
    tabel->setModel(m_model);
    // The code, county and status as wide as their title or widest usual
    // value; the amounts as wide as their largest value (their titles wrap
    // onto a second line); the name takes what is left.
    const QFontMetrics cells = tabel->fontMetrics();
    const QFontMetrics titles = tabel->horizontalHeader()->fontMetrics();
    const QString samples[] = { QStringLiteral("RO1234567890123"), QString(), QStringLiteral("BISTRITA-NASAUD"),
        QStringLiteral("Rectificativa") };
    for (const MonthColumn column : { MonthColumn::Code, MonthColumn::County, MonthColumn::Status }) {
        const QString title = m_model->headerData(int(column), Qt::Horizontal).toString();
        tabel->horizontalHeader()->resizeSection(int(column),
            qMax(cells.horizontalAdvance(samples[int(column)]), titles.horizontalAdvance(title) + 16) + 12);
    }
    tabel->horizontalHeader()->setMinimumHeight(2 * titles.lineSpacing() + 8);
    fitAmountColumns();
    tabel->horizontalHeader()->setSectionResizeMode(int(MonthColumn::Name), QHeaderView::Stretch);
    btnDischeta->setEnabled(m_driveDialog != nullptr);

    form.applyTabOrder();
    // Enter, the arrows and Escape are the window's on every control.
    for (QWidget* control : form.tabOrder())
        control->installEventFilter(this);
}

void TfSituatieLuna::attachKeys()
{
    connect(filtru, &QLineEdit::textChanged, this, [this] { runGuarded([this] { applyFilter(); }); });
    connect(afisare, &QComboBox::currentIndexChanged, this, [this] { runGuarded([this] { applyFilter(); }); });
    connect(btnPreia, &QPushButton::clicked, this, [this] { runGuarded([this] { PreiaClick(); }); });
    connect(btnDischeta, &QPushButton::clicked, this, [this] { runGuarded([this] { DischetaClick(); }); });
    connect(btnListare, &QPushButton::clicked, this, [this] { runGuarded([this] { ListareClick(); }); });
    connect(btnImport, &QPushButton::clicked, this, [this] { runGuarded([this] { ImportClick(); }); });
    connect(btnExport, &QPushButton::clicked, this, [this] { runGuarded([this] { ExportClick(); }); });
    connect(btnInchide, &QPushButton::clicked, this, &QDialog::reject);
    auto* statementKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(statementKey, &QShortcut::activated, this, [this] { runGuarded([this] { showStatement(); }); });
    // Ctrl+N sorts by column N; again, the other way round.
    for (int column = 0; column < 9; ++column) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)), this);
        connect(shortcut, &QShortcut::activated, this, [this, column] {
            runGuarded([this, column] {
                const bool again = int(m_model->sortColumn()) == column && !m_model->sortedDescending();
                tabel->sortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
            });
        });
    }
}

void TfSituatieLuna::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The window opens on the table, so that the arrows move through the
    // payers at once; without a window manager nobody activates it.
    activateWindow();
    tabel->setFocus(Qt::OtherFocusReason);
}

bool TfSituatieLuna::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool handled = false;
    runGuarded([&] {
        if (isEnter(key)) {
            handled = true;
            if (watched == luna)
                anul->setFocus(Qt::OtherFocusReason);
            else if (watched == anul)
                anulEnter();
            else if (watched == filtru || watched == afisare)
                tabel->setFocus(Qt::OtherFocusReason);
            else if (watched == tabel)
                openCurrentPayer();
            else if (auto* button = qobject_cast<QPushButton*>(watched))
                button->click();
            else
                handled = false;
            return;
        }
        if (watched == filtru
            && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageUp
                || key->key() == Qt::Key_PageDown)) {
            // The table moves under the filter while the user types.
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(tabel, &copy);
            handled = true;
            return;
        }
        if (watched == tabel && key->key() == Qt::Key_End)
            m_model->finishLoading();
    });
    return handled || QDialog::eventFilter(watched, event);
}

void TfSituatieLuna::showMonth(const MonthPeriod& period)
{
    showMonth(period, std::nullopt);
}

void TfSituatieLuna::showMonth(const MonthPeriod& period, const std::optional<QSet<qint64>>& savedPayers,
    const std::optional<QSet<qint64>>& declarationsOf)
{
    m_loadTimer->stop();
    m_shown = period;
    luna->setText(QString::asprintf("%02lld", period.month));
    anul->setText(QString::number(period.year));
    lblLuna->setText(MonthTitle(period));
    if (savedPayers)
        m_model->changeMonth(m_dm.con, period, kFirstSlice, *savedPayers, declarationsOf);
    else
        m_model->open(m_dm.con, period, kFirstSlice);
    if (m_model->loading())
        m_loadTimer->start();
    if (m_model->rowCount() > 0)
        tabel->selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
    showTotals();
}

void TfSituatieLuna::anulEnter()
{
    const PeriodLookup lookup = CheckPeriod(luna->text(), anul->text());
    switch (lookup.verdict) {
    case PeriodLookup::Verdict::NotANumber:
        return;
    case PeriodLookup::Verdict::YearCorrected:
        anul->setText(lookup.correction);
        return;
    case PeriodLookup::Verdict::MonthCorrected:
        luna->setText(lookup.correction);
        return;
    case PeriodLookup::Verdict::Valid:
        break;
    }
    // The payers read stay: this window reads the register again after each
    // change it makes, and on a server the colleagues' saves as they are told.
    showMonth({ lookup.month, lookup.year }, QSet<qint64>());
    tabel->setFocus(Qt::OtherFocusReason);
}

void TfSituatieLuna::applyFilter()
{
    // The last choice: every payer whose balance is above 0.
    static const StatusFilter choices[]
        = { StatusFilter::All, StatusFilter::Declared, StatusFilter::NotDeclared, StatusFilter::All };
    const int choice = qBound(0, afisare->currentIndex(), 3);
    m_model->setArrearsOnly(choice == 3);
    m_model->setFilter(MonthFilter(filtru->text(), choices[choice]));
    if (m_model->rowCount() > 0)
        tabel->selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
}

void TfSituatieLuna::openCurrentPayer()
{
    const QModelIndex current = tabel->currentIndex();
    if (!current.isValid())
        return;
    m_chosenCode = m_model->payerAt(current.row()).cui;
    // The table's order, for "F6 - urmatorul" on the road. A register still
    // being read is in payer-code order, which the road knows without it:
    // the rest is not waited for.
    m_payerOrder.reset();
    if (!m_model->loading()) {
        QStringList codes;
        codes.reserve(m_model->rowCount());
        for (int row = 0; row < m_model->rowCount(); ++row)
            codes.append(m_model->payerAt(row).cui);
        m_payerOrder = std::move(codes);
    }
    accept();
}

void TfSituatieLuna::showStatement()
{
    const QModelIndex current = tabel->currentIndex();
    if (!current.isValid())
        return;
    TfFisa statement(m_dm.con, m_model->payerAt(current.row()).payerId, this);
    statement.exec();
    activateWindow();
    tabel->setFocus(Qt::OtherFocusReason);
    if (statement.chosenMonth()) {
        m_chosenMonth = statement.chosenMonth();
        openCurrentPayer();
    }
}

void TfSituatieLuna::loadSlice()
{
    if (!m_model->loadMore(kSlice))
        m_loadTimer->stop();
}

void TfSituatieLuna::fitAmountColumns()
{
    const QFontMetrics cells = tabel->fontMetrics();
    const QFontMetrics titles = tabel->horizontalHeader()->fontMetrics();
    // Once rows are read, the code and the county as wide as their title or
    // widest value: the room goes to the names.
    if (m_model->rowCount() > 0) {
        const std::pair<MonthColumn, QString> texts[]
            = { { MonthColumn::Code, m_model->widestCode() }, { MonthColumn::County, m_model->widestCounty() } };
        for (const auto& [column, widest] : texts) {
            const QString title = m_model->headerData(int(column), Qt::Horizontal).toString();
            tabel->horizontalHeader()->resizeSection(
                int(column), qMax(cells.horizontalAdvance(widest), titles.horizontalAdvance(title) + 16) + 12);
        }
    }
    // The balance after the month's amounts, fitted the same way.
    for (int column = int(MonthColumn::Employees); column <= MonthTableModel::kBalanceColumn; ++column) {
        // A title wraps at its blanks: its longest word sets the least width.
        int width = 0;
        const QStringList words
            = m_model->headerData(column, Qt::Horizontal).toString().split(u' ', Qt::SkipEmptyParts);
        for (const QString& word : words)
            width = qMax(width, titles.horizontalAdvance(word) + 16);
        const QString widest = column == MonthTableModel::kBalanceColumn ? m_model->widestBalanceText()
                                                                         : m_model->widestText(MonthColumn(column));
        width = qMax(width, cells.horizontalAdvance(widest));
        tabel->horizontalHeader()->resizeSection(column, width + 12);
    }
}

void TfSituatieLuna::reportFaults()
{
    if (m_model->loading() || m_faultsReportedFor == m_shown)
        return;
    m_faultsReportedFor = m_shown;
    const QVector<MonthRow> faulty = m_model->faultyPayers();
    if (faulty.isEmpty())
        return;
    if (faulty.size() == 1) {
        const MonthRow& row = faulty.constFirst();
        platform().prompts->message(
            QStringLiteral("Declaratia platitorului %1 pentru %2 are o suma care nu este un numar intreg (%3).\n"
                           "Randul este marcat cu rosu, iar totalurile nu cuprind sumele lui.")
                .arg(row.cui, MonthTitle(m_shown), row.faults.constFirst().message));
        return;
    }
    constexpr int kCodesNamed = 10;
    QStringList codes;
    for (const MonthRow& row : faulty.first(qMin(faulty.size(), qsizetype(kCodesNamed))))
        codes.append(row.cui);
    if (faulty.size() > kCodesNamed)
        codes.append(QStringLiteral("..."));
    platform().prompts->message(
        QStringLiteral("Declaratiile a %1 platitori pentru %2 au sume care nu sunt numere intregi: %3.\n"
                       "Randurile sunt marcate cu rosu, iar totalurile nu cuprind sumele lor.")
            .arg(faulty.size())
            .arg(MonthTitle(m_shown), codes.join(QStringLiteral(", "))));
}

void TfSituatieLuna::showTotals()
{
    const MonthTotals& totals = m_model->totals();
    QString text = QStringLiteral("Total: %1      Salariati: %2      Fond salarii: %3      Comision datorat: %4      "
                                  "Achitat: %5      Diferenta: %6")
                       .arg(DeclaredAndMissingText(totals))
                       .arg(totals.employees)
                       .arg(totals.fund)
                       .arg(totals.commission)
                       .arg(totals.paid)
                       .arg(totals.commission - totals.paid);
    if (!totals.complete())
        text += QStringLiteral("      ") + IncompleteTotalsText(totals);
    const QString balanceWord = m_model->arrearsOnly() ? QStringLiteral("Restante") : QStringLiteral("Sold");
    if (!m_model->balanceError().isEmpty())
        text += QStringLiteral("      %1: nu poate fi citit (%2)").arg(balanceWord, m_model->balanceError());
    else if (m_model->balancesRead())
        text += QStringLiteral("      %1: %2").arg(balanceWord).arg(m_model->balanceTotal());
    else
        text += QStringLiteral("      %1: se calculeaza...").arg(balanceWord);
    if (m_model->loading())
        text += QStringLiteral("      (se citeste registrul...)");
    totaluri->setText(text);
}

void TfSituatieLuna::reload(
    const std::optional<QSet<qint64>>& savedPayers, const std::optional<QSet<qint64>>& declarationsOf)
{
    const QModelIndex current = tabel->currentIndex();
    const qint64 currentPayer = current.isValid() ? m_model->payerAt(current.row()).payerId : 0;
    showMonth(m_shown, savedPayers, declarationsOf);
    m_model->finishLoading();
    const int row = m_model->rowOfPayer(currentPayer);
    if (row >= 0)
        tabel->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
}

QList<qint64> TfSituatieLuna::payersToCarryOver() const
{
    // Exactly the marked payers, shown by the filter or not.
    QList<qint64> ids = m_model->markedPayers();
    if (!ids.isEmpty())
        return ids;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!m_model->payerAt(row).declared())
            ids.append(m_model->payerAt(row).payerId);
    }
    return ids;
}

} // namespace itm
