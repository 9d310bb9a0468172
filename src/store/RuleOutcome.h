#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace itm {

class Dataset;

// What a rule checked in a fixed order tells its caller: the first failure,
// with the message the user reads and the column it concerns, and the values
// that the rules before it wrote into the record (defaults such as "F.N.").
// The writes stand whether or not a later rule fails: the record keeps them.
struct RuleFailure
{
    QString message;
    QString column;
};

struct ColumnWrite
{
    QString column;
    QVariant value; // qint64 or QString
};

struct RuleOutcome
{
    std::optional<RuleFailure> failure;
    QList<ColumnWrite> writes;

    bool passed() const { return !failure.has_value(); }
    RuleOutcome& fail(const QString& message, const QString& column)
    {
        failure = RuleFailure { message, column };
        return *this;
    }
    void write(const QString& column, const QVariant& value) { writes.append({ column, value }); }
};

// Writes the values into the record's edit buffer, in their order.
void ApplyWrites(Dataset& record, const QList<ColumnWrite>& writes);

// Empty once spaces and control characters are removed at both ends.
inline bool isBlank(const QString& text)
{
    for (const QChar c : text) {
        if (c > u' ')
            return false;
    }
    return true;
}

} // namespace itm
