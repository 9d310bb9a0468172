#include "output/DeclarationBatch.h"

#include "output/DeclarationLine.h"
#include "store/Errors.h"
#include "store/RecordReader.h"

namespace itm {

bool DeclarationBatch::add(const RecordReader& payer, const RecordReader& declaration)
{
    if (m_refusal)
        return false;
    const QString cui = payer.fieldText(QStringLiteral("cui"));
    if (m_codes.contains(cui)) {
        m_refusal = DeclarationBatchRefusal { DeclarationBatchRefusal::SharedCode, cui, {} };
        return false;
    }
    QString line;
    try {
        line = BuildDeclarationLine(payer, declaration);
    } catch (const Error& error) {
        m_refusal = DeclarationBatchRefusal { DeclarationBatchRefusal::NoLine, cui, error.message() };
        return false;
    }
    m_codes.insert(cui);
    // The conversion leaves room for three bytes a character; a month of a
    // million lines keeps only their bytes.
    DeclarationEntry entry { DeclarationFileBytes(cui), DeclarationFileBytes(line) };
    entry.cui.squeeze();
    entry.linie.squeeze();
    m_entries.append(std::move(entry));
    return true;
}

} // namespace itm
