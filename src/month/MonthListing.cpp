#include "month/MonthListing.h"

#include "month/MonthFilter.h"
#include "month/MonthPayerTable.h"
#include "payers/LegalForms.h"
#include "store/Connection.h"
#include "store/Errors.h"
#include "store/RecordReader.h"
#include "store/StrictNumber.h"

#include <QByteArrayView>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace itm {

namespace {

// The payer's first declaration of the month is found through the index on
// (idfirma, ln, an); the register is walked through its index on cui, so the
// first rows arrive without the whole register being sorted first.
const QString listingSql = QStringLiteral(
    "SELECT f.id, f.cui, f.prefix, f.denumire, f.sufix, f.codjudet, "
    "d.id, d.rectificativ, d.nrsal, d.fondlunsal, d.comdat, d.comac "
    "FROM firme f LEFT JOIN declaratii d ON d.id = "
    "(SELECT x.id FROM declaratii x WHERE x.idfirma = f.id AND x.ln = :ln AND x.an = :an ORDER BY x.id LIMIT 1) "
    "ORDER BY f.cui COLLATE BINARY, f.id");

// The rest of the register and the month's declarations, each in the order
// the file holds them.
const QString payersSql = QStringLiteral("SELECT id, cui, prefix, denumire, sufix, codjudet FROM firme ORDER BY id");
const QString declarationsSql
    = QStringLiteral("SELECT idfirma, id, rectificativ, nrsal, fondlunsal, comdat, comac FROM declaratii "
                     "WHERE an = :an AND ln = :ln ORDER BY id");
// One payer's first declaration of the month, in the same columns.
const QString payerDeclarationSql
    = QStringLiteral("SELECT idfirma, id, rectificativ, nrsal, fondlunsal, comdat, comac FROM declaratii "
                     "WHERE an = :an AND ln = :ln AND idfirma = :payer ORDER BY id LIMIT 1");
constexpr int kDeclarationPayer = 0;
constexpr int kDeclarationFirst = 1;

enum Column
{
    PayerId,
    Cui,
    Prefix,
    Name,
    Suffix,
    CountyKey,
    DeclarationId,
    Corrective,
    Employees,
    Fund,
    Commission,
    Paid,
};

// An amount column read with the strict conversion; a text that is no whole
// number is noted on the row and reads 0.
qint64 amountOf(const Statement& row, int column, const char16_t* name, MonthRow& entry)
{
    const QVariant value = row.value(column);
    try {
        return valueInteger(value);
    } catch (const ConversionError& error) {
        const QString column = QString::fromUtf16(name);
        entry.faults.append({ column, valueText(value), NumberColumnError(column, error).message() });
        return 0;
    }
}

QString legalNameOf(const Statement& row)
{
    const QString name = row.text(Name);
    const auto prefix = TryStrToInt(row.text(Prefix));
    const auto suffix = TryStrToInt(row.text(Suffix));
    if (prefix && suffix) {
        if (const auto composed = ComposedLegalName(*prefix, name, *suffix))
            return composed->trimmed();
    }
    return name.trimmed();
}

// The counties' names by their keys as the register stores them.
QHash<QString, QString> countyNames(Connection& connection)
{
    QHash<QString, QString> names;
    Statement counties(connection, QStringLiteral("SELECT codjudet, denumire FROM judete"));
    while (counties.step()) {
        const QString key = counties.text(0);
        if (!names.contains(key))
            names.insert(key, counties.text(1));
    }
    return names;
}

// The payer's columns of a row (PayerId to CountyKey).
void readPayer(const Statement& row, const QHash<QString, QString>& countyNames, MonthRow& entry)
{
    entry.payerId = row.integer(PayerId);
    entry.cui = row.text(Cui);
    entry.legalName = legalNameOf(row);
    const QString countyKey = row.text(CountyKey);
    entry.county = countyNames.value(countyKey, countyKey.trimmed());
    entry.searchCode = FoldForSearch(entry.cui);
    entry.searchName = FoldForSearch(entry.legalName);
}

} // namespace

QString StatusText(DeclarationStatus status)
{
    switch (status) {
    case DeclarationStatus::Initial:
        return QStringLiteral("Initiala");
    case DeclarationStatus::Corrective:
        return QStringLiteral("Rectificativa");
    case DeclarationStatus::Missing:
        break;
    }
    return QStringLiteral("Lipsa");
}

const AmountFault* MonthRow::faultOf(const QString& column) const
{
    for (const AmountFault& fault : faults) {
        if (fault.column == column)
            return &fault;
    }
    return nullptr;
}

void MonthTotals::add(const MonthRow& row)
{
    if (!row.declared()) {
        ++missing;
        return;
    }
    ++declared;
    if (row.faulty()) {
        ++faulty;
        return;
    }
    employees += row.employees;
    fund += row.fund;
    commission += row.commission;
    paid += row.paid;
}

MonthListingReader::MonthListingReader(
    Connection& connection, const MonthPeriod& period, Mode mode, qint64 gatherFromPayers)
    : m_connection(connection)
    , m_period(period)
    , m_mode(mode)
    , m_gatherFromPayers(gatherFromPayers)
{
    m_countyNames = countyNames(connection);
    // A server plans a query for its last row: asked for every payer in the
    // order of codes, it would join and sort the whole register before the
    // first row. Gathering, the walk gives only the first slice (its size is
    // bound before the first row is asked for), and the rest is gathered.
    m_onServer = connection.isServer();
    m_walkLimited = m_onServer && mode == Mode::Gathered;
    m_statement = std::make_unique<Statement>(
        connection, m_walkLimited ? listingSql + QStringLiteral(" LIMIT :slice") : listingSql);
    m_statement->bind(QStringLiteral("ln"), period.month);
    m_statement->bind(QStringLiteral("an"), period.year);
}

MonthListingReader::~MonthListingReader() = default;

namespace {

// The declaration's columns from first on: id, rectificativ, nrsal,
// fondlunsal, comdat, comac.
void readDeclaration(const Statement& row, int first, MonthRow& entry)
{
    entry.status = valueInteger(row.value(first + 1)) != 0 ? DeclarationStatus::Corrective : DeclarationStatus::Initial;
    entry.employees = amountOf(row, first + 2, u"nrsal", entry);
    entry.fund = amountOf(row, first + 3, u"fondlunsal", entry);
    entry.commission = amountOf(row, first + 4, u"comdat", entry);
    entry.paid = amountOf(row, first + 5, u"comac", entry);
}

// A read-only connection to the same file for this thread alone, or none
// (a database in memory; a file that cannot be opened again).
std::unique_ptr<Connection> oneThreadConnection(Connection& shared)
{
    const QString path = shared.secondConnectionLocation();
    if (path.isEmpty())
        return nullptr;
    try {
        auto own = std::make_unique<Connection>();
        own->openForOneThread(path);
        return own;
    } catch (const DatabaseError&) {
        // The shared connection reads it all the same.
        return nullptr;
    }
}

// The declaration's columns from first on set on the payer at position: read
// straight where every amount is stored as a whole number, through a row
// (which notes the faults) otherwise.
void setDeclarationOf(const Statement& row, int first, MonthPayerTable& rows, qsizetype position)
{
    bool plain = true;
    for (int column = first + 1; column <= first + 5; ++column)
        plain = plain && row.holdsInteger(column);
    if (plain) {
        rows.setDeclaration(position,
            row.integer(first + 1) != 0 ? DeclarationStatus::Corrective : DeclarationStatus::Initial,
            row.integer(first + 2), row.integer(first + 3), row.integer(first + 4), row.integer(first + 5));
        return;
    }
    MonthRow declared;
    readDeclaration(row, first, declared);
    rows.setDeclaration(position, declared);
}

} // namespace

namespace {

// A text of printable ASCII that the filter's folding leaves as it is: no
// lower-case letter, no two blanks together.
bool isPlainFolded(QByteArrayView text)
{
    char before = 0;
    for (const char c : text) {
        if (c < 0x20 || c > 0x7e || (c >= 'a' && c <= 'z') || (c == ' ' && before == ' '))
            return false;
        before = c;
    }
    return true;
}

// A prefix or suffix stored as a few digits, or nothing.
std::optional<qint64> plainNumber(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return text;
}

} // namespace

void MonthListingReader::readRow(const Statement& row, MonthRow& entry) const
{
    readPayer(row, m_countyNames, entry);
}

QVector<MonthRow> ReadListedPayers(Connection& connection, const QList<qint64>& payerIds)
{
    const QHash<QString, QString> counties = countyNames(connection);
    Statement payer(
        connection, QStringLiteral("SELECT id, cui, prefix, denumire, sufix, codjudet FROM firme WHERE id = :id"));
    QVector<MonthRow> rows;
    for (const qint64 id : payerIds) {
        payer.reset();
        payer.bind(QStringLiteral("id"), id);
        if (payer.step())
            readPayer(payer, counties, rows.emplace_back());
    }
    return rows;
}

bool MonthListingReader::readMore(QVector<MonthRow>& rows, int count)
{
    return readInto(&rows, nullptr, count);
}

bool MonthListingReader::readMore(MonthPayerTable& rows, int count)
{
    return readInto(nullptr, &rows, count);
}

bool MonthListingReader::readInto(QVector<MonthRow>* rows, MonthPayerTable* table, int count)
{
    if (m_atEnd)
        return false;
    switch (m_phase) {
    case Phase::Index:
        break;
    case Phase::Payers:
        gatherPayers(count);
        return true;
    case Phase::Declarations:
        gatherDeclarations(count);
        return true;
    case Phase::Handing:
        if (table) {
            // The rows the index walk gave already are left out, in place.
            m_order.removeIf([this](int position) { return m_given.contains(m_gathered->payerId(position)); });
            table->appendInOrder(std::move(*m_gathered), m_order);
            m_handed = m_order.size();
        } else {
            if (m_handed == 0)
                rows->reserve(rows->size() + m_order.size() - m_given.size());
            for (int i = 0; i < count && m_handed < m_order.size(); ++m_handed) {
                const int position = m_order.at(m_handed);
                if (m_given.contains(m_gathered->payerId(position)))
                    continue;
                rows->append(m_gathered->at(position));
                ++i;
            }
        }
        if (m_handed == m_order.size()) {
            m_atEnd = true;
            m_gathered.reset();
            m_order = {};
            m_given = {};
            m_statement.reset();
        }
        return !m_atEnd;
    }

    if (m_walkLimited && m_given.isEmpty())
        m_statement->bind(QStringLiteral("slice"), count);
    for (int i = 0; i < count; ++i) {
        if (!m_statement->step()) {
            m_atEnd = true;
            // The read ends here: nothing of the database stays held.
            m_statement.reset();
            return false;
        }
        const Statement& row = *m_statement;
        MonthRow entry;
        readRow(row, entry);
        if (!row.value(DeclarationId).isNull())
            readDeclaration(row, DeclarationId, entry);
        if (m_mode == Mode::Gathered)
            m_given.insert(entry.payerId);
        if (table)
            table->append(entry);
        else
            rows->append(std::move(entry));
    }
    if (m_mode == Mode::Gathered) {
        // A server, which gathers whatever the count, counts a register of
        // millions in a tenth of a second: the count it keeps of the table
        // (as of its last look at it) is enough to make room.
        Statement payers(m_connection,
            m_walkLimited
                ? QStringLiteral("SELECT greatest(reltuples, 0)::bigint FROM pg_class WHERE oid = 'firme'::regclass")
                : QStringLiteral("SELECT count(*) FROM firme"));
        payers.step();
        const qint64 payerCount = payers.integer(0);
        if (payerCount - m_given.size() >= m_gatherFromPayers || m_walkLimited) {
            // A server's statement keeps no view of the register (each sees
            // the saves committed when it began): the walk is let go.
            if (m_onServer)
                m_statement.reset();
            // Room for every payer at once: a register of millions grown a
            // little at a time would be copied again and again.
            m_gathered = std::make_unique<MonthPayerTable>();
            m_gathered->reserve(payerCount);
            // The prefixes and suffixes that compose a plain name; a null
            // array for one that does not.
            for (qint64 prefix = 0; const auto text = PrefixText(prefix); ++prefix)
                m_plainPrefixes.append(isPlainFolded(text->toLatin1()) && text->toLatin1() == text->toUtf8()
                        ? text->toLatin1()
                        : QByteArray());
            for (qint64 suffix = 0; const auto text = SuffixText(suffix); ++suffix)
                m_plainSuffixes.append(isPlainFolded(text->toLatin1()) && text->toLatin1() == text->toUtf8()
                        ? text->toLatin1()
                        : QByteArray());
            m_scan = std::make_unique<Statement>(scanConnection(), payersSql);
            m_phase = Phase::Payers;
        }
    }
    return true;
}

Connection& MonthListingReader::scanConnection()
{
    // A read-only connection of this thread alone takes no lock around each
    // of the millions of calls that read a large register. The index walk,
    // still open on the shared connection, keeps writers out meanwhile: both
    // see the same register.
    if (!m_scanConnection && !m_connection.inTransaction())
        m_scanConnection = oneThreadConnection(m_connection);
    return m_scanConnection ? *m_scanConnection : m_connection;
}

void MonthListingReader::gatherPayers(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!m_scan->step()) {
            m_scan = std::make_unique<Statement>(scanConnection(), declarationsSql);
            m_scan->bind(QStringLiteral("ln"), m_period.month);
            m_scan->bind(QStringLiteral("an"), m_period.year);
            m_phase = Phase::Declarations;
            return;
        }
        Statement& row = *m_scan;
        const qsizetype position = m_gathered->size();
        // The payers of the file have no declaration yet.
        if (!gatherPlainPayer(row)) {
            MonthRow entry;
            readRow(row, entry);
            m_gathered->append(entry);
        }
        // The codes are sorted as stored; the few whose stored bytes are not
        // the text read are kept aside.
        if (row.value(Cui).isNull())
            m_storedCodes.insert(position, QByteArray());
        else if (const QByteArrayView stored = row.storedBytes(Cui); stored != m_gathered->code(position))
            m_storedCodes.insert(position, stored.isEmpty() ? QByteArray("") : stored.toByteArray());
    }
}

bool MonthListingReader::gatherPlainPayer(Statement& row)
{
    // Most payers of a large register have an upper-case ASCII code and name:
    // their bytes are stored as read, without the texts a row is made of.
    // Any other payer is read as a row (readRow), which gives the same.
    m_plainCode = row.storedBytes(Cui).toByteArray();
    if (m_plainCode.isEmpty() || !isPlainFolded(m_plainCode))
        return false;
    // A number of another form (a sign, a fraction) is left to readRow; an
    // empty one is no number there either.
    const QByteArrayView prefixBytes = row.storedBytes(Prefix);
    const auto prefix = plainNumber(prefixBytes);
    if (!prefix && !prefixBytes.isEmpty())
        return false;
    const QByteArrayView suffixBytes = row.storedBytes(Suffix);
    const auto suffix = plainNumber(suffixBytes);
    if (!suffix && !suffixBytes.isEmpty())
        return false;
    const QByteArrayView name = row.storedBytes(Name);
    m_plainName.clear();
    if (prefix && suffix && *prefix < qint64(m_plainPrefixes.size()) && *suffix < qint64(m_plainSuffixes.size())) {
        if (m_plainPrefixes.at(*prefix).isNull() || m_plainSuffixes.at(*suffix).isNull())
            return false;
        m_plainName.append(m_plainPrefixes.at(*prefix));
        m_plainName.append(name);
        m_plainName.append(m_plainSuffixes.at(*suffix));
    } else if (!prefix || !suffix) {
        m_plainName.append(name);
    } else {
        return false; // a prefix or suffix out of the list
    }
    const QByteArrayView legalName = trimmedBlanks(m_plainName);
    if (!isPlainFolded(legalName))
        return false;
    const QByteArrayView countyKey = row.storedBytes(CountyKey);
    const QString* county = nullptr;
    for (const auto& known : std::as_const(m_plainCounties)) {
        if (known.first == countyKey) {
            county = &known.second;
            break;
        }
    }
    if (!county) {
        if (!isPlainFolded(countyKey) || m_plainCounties.size() >= 256)
            return false;
        const QString key = QString::fromLatin1(countyKey);
        m_plainCounties.append({ countyKey.toByteArray(), m_countyNames.value(key, key.trimmed()) });
        county = &m_plainCounties.constLast().second;
    }
    m_gathered->appendFolded(row.integer(PayerId), m_plainCode, legalName, *county);
    return true;
}

void MonthListingReader::gatherDeclarations(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!m_scan->step()) {
            m_scan.reset();
            m_scanConnection.reset();
            sortGathered();
            m_phase = Phase::Handing;
            return;
        }
        const Statement& row = *m_scan;
        if (!row.holdsInteger(kDeclarationPayer))
            continue;
        const qint64 id = row.integer(kDeclarationPayer);
        // Declarations are mostly saved in the payers' order: the next payer
        // is tried before a search of them all (the payers were gathered in
        // the order of their ids).
        const MonthPayerTable& payers = *m_gathered;
        qsizetype position = m_nextPayerHint;
        if (position >= payers.size() || payers.payerId(position) != id)
            position = payers.positionOfId(id);
        if (position < 0)
            continue;
        m_nextPayerHint = position + 1;
        // The first declaration saved is the one shown.
        if (!m_gathered->declared(position))
            setDeclarationOf(row, kDeclarationFirst, *m_gathered, position);
    }
}

void MonthListingReader::sortGathered()
{
    // The ids' index served the declarations; the sort needs the room.
    m_gathered->forgetIdIndex();
    const qsizetype size = m_gathered->size();
    const MonthPayerTable& payers = *m_gathered;
    const auto code = [&](int position) {
        if (!m_storedCodes.isEmpty()) {
            const auto stored = m_storedCodes.constFind(position);
            if (stored != m_storedCodes.cend())
                return QByteArrayView(stored.value());
        }
        return payers.code(position);
    };
    // A code stored as NULL: a null QByteArray among those kept aside.
    const auto isNull = [&](int position) {
        if (m_storedCodes.isEmpty())
            return false;
        const auto stored = m_storedCodes.constFind(position);
        return stored != m_storedCodes.cend() && stored.value().isNull();
    };
    // Each code's beginning as one number, so that most comparisons are of
    // numbers; codes equal there are compared whole. Four bytes of digits
    // would tell few codes apart, so each of the first eight bytes counts as
    // one of 13 kinds: none, below '0', each digit, above '9'. After a byte
    // that is no digit the kinds no longer follow the bytes' order: the
    // number ends there (the rest compared whole).
    QVector<quint32> keys(size);
    for (qsizetype position = 0; position < size; ++position) {
        const QByteArrayView bytes = code(int(position));
        quint32 key = 0;
        bool exact = true;
        for (qsizetype i = 0; i < 8; ++i) {
            quint32 kind = 0;
            if (exact && i < bytes.size()) {
                const auto byte = quint8(bytes[i]);
                kind = byte < '0' ? 1 : byte <= '9' ? 2 + (byte - '0') : 12;
                exact = byte >= '0' && byte <= '9';
            }
            key = key * 13 + kind;
        }
        keys[position] = key;
    }
    m_order.resize(size);
    std::iota(m_order.begin(), m_order.end(), 0);
    // As the index orders them: no code first, then the codes byte by byte,
    // then the payer's id (positions follow the ids).
    std::sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const bool aNull = isNull(a);
        const bool bNull = isNull(b);
        if (aNull || bNull)
            return aNull != bNull ? aNull : a < b;
        if (keys.at(a) != keys.at(b))
            return keys.at(a) < keys.at(b);
        const int order = code(a).compare(code(b));
        return order != 0 ? order < 0 : a < b;
    });
    m_storedCodes = {};
}

void ReadMonthDeclarations(Connection& connection, const MonthPeriod& period, MonthPayerTable& rows)
{
    // Not when the shared connection is in a transaction: only it sees what
    // the transaction wrote.
    const std::unique_ptr<Connection> own = connection.inTransaction() ? nullptr : oneThreadConnection(connection);
    Statement declarations(own ? *own : connection, declarationsSql);
    declarations.bind(QStringLiteral("ln"), period.month);
    declarations.bind(QStringLiteral("an"), period.year);
    rows.clearDeclarations();
    while (declarations.step()) {
        if (!declarations.holdsInteger(kDeclarationPayer))
            continue;
        const qsizetype position = rows.positionOfId(declarations.integer(kDeclarationPayer));
        // The first declaration saved is the one shown.
        if (position >= 0 && !rows.declared(position))
            setDeclarationOf(declarations, kDeclarationFirst, rows, position);
    }
}

void ReadMonthDeclarationsOf(
    Connection& connection, const MonthPeriod& period, const QSet<qint64>& payerIds, MonthPayerTable& rows)
{
    Statement declaration(connection, payerDeclarationSql);
    declaration.bind(QStringLiteral("ln"), period.month);
    declaration.bind(QStringLiteral("an"), period.year);
    for (const qint64 payer : payerIds) {
        const qsizetype position = rows.positionOfId(payer);
        if (position < 0)
            continue;
        rows.forgetDeclaration(position);
        declaration.reset();
        declaration.bind(QStringLiteral("payer"), payer);
        if (declaration.step())
            setDeclarationOf(declaration, kDeclarationFirst, rows, position);
    }
}

QVector<MonthRow> ReadMonthListing(Connection& connection, const MonthPeriod& period)
{
    MonthListingReader reader(connection, period);
    QVector<MonthRow> rows;
    while (reader.readMore(rows, 4096)) { }
    return rows;
}

void ForEachMonthRow(
    Connection& connection, const MonthPeriod& period, const std::function<void(const MonthRow&)>& visit)
{
    MonthListingReader reader(connection, period, MonthListingReader::Mode::Streamed);
    QVector<MonthRow> slice;
    bool more = true;
    while (more) {
        slice.clear();
        more = reader.readMore(slice, 1024);
        for (const MonthRow& row : std::as_const(slice))
            visit(row);
    }
}

MonthTotals TotalsOf(const QVector<MonthRow>& rows)
{
    MonthTotals totals;
    for (const MonthRow& row : rows)
        totals.add(row);
    return totals;
}

} // namespace itm

namespace itm {

QVector<const MonthRow*> FaultyRows(const QVector<MonthRow>& rows)
{
    QVector<const MonthRow*> faulty;
    for (const MonthRow& row : rows) {
        if (row.faulty())
            faulty.append(&row);
    }
    return faulty;
}

} // namespace itm
