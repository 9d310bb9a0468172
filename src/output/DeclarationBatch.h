#pragma once

#include "output/DeclarationFile.h"

#include <QSet>
#include <QString>
#include <optional>

namespace itm {

class RecordReader;

// Why a month's declarations cannot go into its file: the file keeps one line
// per payer code, so a code held by two declared payers would silently lose
// one of them; and a record that cannot make its line stops the whole month.
struct DeclarationBatchRefusal
{
    enum Kind
    {
        SharedCode,
        NoLine
    } kind;
    QString cui;
    QString reason; // NoLine: the conversion's own message
};

// The lines of a month's declared payers, every one built before anything is
// written, for SaveDeclarationLines. The window's "Generare discheta" and
// itm-cli write both build their batch here, so they refuse the same months.
class DeclarationBatch
{
public:
    // Adds the payer's line. False, with refusal(), when the line cannot be
    // built or a payer already in the batch has the same code; the batch
    // then takes nothing more.
    bool add(const RecordReader& payer, const RecordReader& declaration);

    const QList<DeclarationEntry>& entries() const { return m_entries; }
    const std::optional<DeclarationBatchRefusal>& refusal() const { return m_refusal; }

private:
    QList<DeclarationEntry> m_entries;
    QSet<QString> m_codes;
    std::optional<DeclarationBatchRefusal> m_refusal;
};

} // namespace itm
