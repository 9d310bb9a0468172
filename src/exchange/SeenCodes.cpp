#include "exchange/SeenCodes.h"

#include "store/Connection.h"

#include <algorithm>
#include <vector>

namespace itm::exchange {

namespace {

constexpr int kFilterBits = 24; // 2^24 bits: 2 MB

} // namespace

template <typename Visit> void SeenCodes::filterBits(qint64 code, Visit visit)
{
    // Two halves of a well-mixed number step through the filter.
    quint64 mixed = quint64(code) + 0x9e3779b97f4a7c15ULL;
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ULL;
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebULL;
    mixed ^= mixed >> 31;
    const quint32 first = quint32(mixed);
    const quint32 step = quint32(mixed >> 32) | 1;
    constexpr quint32 mask = (quint32(1) << kFilterBits) - 1;
    for (quint32 i = 0; i < 3; ++i)
        visit((first + i * step) & mask);
}

SeenCodes::SeenCodes(qsizetype heldInMemory)
    : m_heldInMemory(std::max<qsizetype>(1, heldInMemory))
{
}

SeenCodes::~SeenCodes() = default;

std::optional<int> SeenCodes::lineOf(qint64 code) const
{
    if (const auto held = m_latest.constFind(code); held != m_latest.cend())
        return *held;
    if (!m_find)
        return std::nullopt;
    bool maybe = true;
    filterBits(code, [&](quint32 bit) { maybe = maybe && (m_filter.at(bit / 8) & (1 << (bit % 8))) != 0; });
    if (!maybe)
        return std::nullopt;
    m_find->reset();
    m_find->bind(1, code);
    std::optional<int> line;
    if (m_find->step())
        line = int(m_find->integer(0));
    m_find->reset();
    return line;
}

void SeenCodes::add(qint64 code, int line)
{
    m_latest.insert(code, line);
    if (m_latest.size() >= m_heldInMemory)
        moveToScratch();
}

void SeenCodes::moveToScratch()
{
    if (!m_scratch) {
        // An empty name: SQLite's private temporary database.
        m_scratch = std::make_unique<Connection>();
        m_scratch->open(QString());
        m_scratch->exec(QStringLiteral("CREATE TABLE seen (code INTEGER PRIMARY KEY, line INTEGER NOT NULL)"));
        m_find = std::make_unique<Statement>(*m_scratch, QStringLiteral("SELECT line FROM seen WHERE code = ?"));
        m_insert = std::make_unique<Statement>(*m_scratch, QStringLiteral("INSERT INTO seen VALUES (?, ?)"));
        m_filter = QByteArray((1 << kFilterBits) / 8, 0);
    }
    // In code order the tree grows along one edge, a page at a time.
    std::vector<std::pair<qint64, int>> latest;
    latest.reserve(std::size_t(m_latest.size()));
    for (auto held = m_latest.cbegin(); held != m_latest.cend(); ++held)
        latest.emplace_back(held.key(), held.value());
    m_latest = QHash<qint64, int>();
    std::sort(latest.begin(), latest.end());
    Transaction transaction(*m_scratch);
    for (const auto& [code, line] : latest) {
        m_insert->reset();
        m_insert->bind(1, code);
        m_insert->bind(2, line);
        m_insert->step();
        filterBits(code, [this](quint32 bit) { m_filter[bit / 8] = char(m_filter.at(bit / 8) | (1 << (bit % 8))); });
    }
    m_insert->reset();
    transaction.commit();
}

} // namespace itm::exchange
