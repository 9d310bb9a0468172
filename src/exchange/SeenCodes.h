#pragma once

#include <QByteArray>
#include <QHash>
#include <memory>
#include <optional>

namespace itm {
class Connection;
class Statement;
} // namespace itm

namespace itm::exchange {

// The codes a payer file has named so far, each with the line that named it
// first. The latest are held in memory; each time they reach the bound they
// move, in code order, to a scratch database of SQLite's own (a temporary
// file it deletes when closed, read through a cache of fixed size), so that
// a file of millions of payers is checked in the same memory as one of a
// hundred thousand. A filter of fixed size (two megabytes of bits, three per
// code moved) spares the database most questions about a code it does not
// hold: a code named once, as most are, is looked for there about once in a
// hundred times at a million and a half codes.
class SeenCodes
{
public:
    static constexpr qsizetype kHeldInMemory = 65536;

    explicit SeenCodes(qsizetype heldInMemory = kHeldInMemory);
    ~SeenCodes();
    SeenCodes(const SeenCodes&) = delete;
    SeenCodes& operator=(const SeenCodes&) = delete;

    // The line that named the code first, or nothing.
    std::optional<int> lineOf(qint64 code) const;
    // A code not named before, with its line.
    void add(qint64 code, int line);

private:
    void moveToScratch();
    // The three bits of the filter that stand for code.
    template <typename Visit> static void filterBits(qint64 code, Visit visit);

    qsizetype m_heldInMemory;
    QHash<qint64, int> m_latest;
    std::unique_ptr<Connection> m_scratch; // declared before the statements that use it
    std::unique_ptr<Statement> m_find;
    std::unique_ptr<Statement> m_insert;
    QByteArray m_filter; // of the codes moved to the scratch database
};

} // namespace itm::exchange
