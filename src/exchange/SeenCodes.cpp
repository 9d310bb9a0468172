#include "exchange/SeenCodes.h"

#include "store/Connection.h"

#include <algorithm>
#include <vector>

namespace itm::exchange {

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
    }
    m_insert->reset();
    transaction.commit();
}

} // namespace itm::exchange
