#include "output/DeclarationFile.h"

#include "output/DeclarationDestination.h"
#include "output/DeclarationLine.h"
#include "store/StrictNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace itm {

namespace {

// Latin-1 maps every byte to one character, so a byte that is no ASCII digit
// can never pass for one.
bool readsAs(const QByteArray& bytes, qint64 expected)
{
    const auto value = TryStrToInt(QString::fromLatin1(bytes));
    return value && *value == expected;
}

void setFailure(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
}

// content, when given, receives the file's bytes as they are.
bool readExistingLines(const QString& path, QByteArrayList& lines, QString* failure, QByteArray* content = nullptr)
{
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        setFailure(failure, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setFailure(failure, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    lines = SplitDeclarationLines(bytes);
    if (content)
        *content = bytes;
    return true;
}

bool writeAtomically(const QString& path, const QByteArray& content, QString* failure)
{
    QSaveFile file(path);
    // The explicit flush matters: QSaveFile::commit() does not notice a short
    // write while it flushes its buffer on closing (a full medium), and would
    // rename a truncated file over the old one.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush();
    if (!written || !file.commit()) {
        setFailure(failure, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

// When the root file was missing or older than its Rez copy, the Rez copy may
// be the medium's only copy of other payers' lines: before it is replaced by
// a file without them, it is kept beside itself under a dated name.
bool keepRezCopyThatWouldLoseLines(const QString& rezFolder, const QString& fileName, const QByteArrayList& newLines,
    qint64 luna, qint64 an, const QList<DeclarationEntry>& entries, QString* failure)
{
    const QString rezFile = rezFolder + u'/' + fileName;
    QByteArrayList oldLines;
    QByteArray oldContent;
    if (!readExistingLines(rezFile, oldLines, failure, &oldContent))
        return false;
    const auto replaced = [&](const QByteArray& line) {
        return std::any_of(entries.cbegin(), entries.cend(),
            [&](const DeclarationEntry& entry) { return IsSameDeclaration(line, luna, an, entry.cui); });
    };
    if (!LosesOtherLines(oldLines, newLines, replaced))
        return true;
    const QString kept = rezFolder + u'/' + KeptCopyName(fileName, QDateTime::currentDateTime());
    if (QFileInfo::exists(kept) || QFileInfo(kept).isSymLink()) {
        setFailure(failure, QStringLiteral("%1 already exists").arg(kept));
        return false;
    }
    return writeAtomically(kept, oldContent, failure);
}

} // namespace

bool IsSameDeclaration(const QByteArray& line, qint64 luna, qint64 an, const QByteArray& cui)
{
    const qsizetype comma1 = line.indexOf(',');
    if (comma1 < 0)
        return true;
    const qsizetype comma2 = line.indexOf(',', comma1 + 1);
    const qsizetype comma3 = comma2 < 0 ? -1 : line.indexOf(',', comma2 + 1);
    if (comma3 < 0)
        return false;
    // Positions 2 and 3 hold the month between its quotes; the year starts two
    // past the first comma, after its opening quote.
    return readsAs(line.mid(1, 2), luna) && readsAs(line.mid(comma1 + 2, 4), an)
        && line.mid(comma2 + 1, comma3 - comma2 - 1) == cui;
}

QByteArrayList SplitDeclarationLines(const QByteArray& content)
{
    QByteArrayList lines;
    const qsizetype size = content.size();
    qsizetype start = 0;
    for (qsizetype pos = 0; pos < size; ++pos) {
        const char c = content.at(pos);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, pos - start));
        if (c == '\r' && pos + 1 < size && content.at(pos + 1) == '\n')
            ++pos;
        start = pos + 1;
    }
    if (start < size)
        lines.append(content.mid(start));
    return lines;
}

QByteArray JoinDeclarationLines(const QByteArrayList& lines)
{
    qsizetype total = 0;
    for (const QByteArray& line : lines)
        total += line.size() + 2;
    QByteArray content;
    content.reserve(total);
    for (const QByteArray& line : lines) {
        content += line;
        content += "\r\n";
    }
    return content;
}

QByteArrayList MergeDeclarationLine(const QByteArrayList& lines, qint64 luna, qint64 an, const QByteArray& cui,
    const QByteArray& linie, const std::function<void()>& beforeEachLine)
{
    QByteArrayList merged;
    merged.reserve(lines.size() + 1);
    for (const QByteArray& line : lines) {
        if (beforeEachLine)
            beforeEachLine();
        if (!IsSameDeclaration(line, luna, an, cui))
            merged.append(line);
    }
    merged.append(linie);
    return merged;
}

bool SaveDeclarationFile(const QString& root, qint64 luna, qint64 an, const QByteArray& cui, const QByteArray& linie,
    const std::function<void()>& beforeEachLine, QString* failure)
{
    return SaveDeclarationLines(root, luna, an, { DeclarationEntry { cui, linie } }, beforeEachLine, failure);
}

bool SaveDeclarationLines(const QString& root, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries,
    const std::function<void()>& beforeEachLine, QString* failure)
{
    if (entries.isEmpty())
        return true;
    const QString fileName = DeclarationFileName(an, luna);
    const QString rootFile = root + fileName;
    const QString rezFolder = root + QStringLiteral("Rez");
    const QString rezFile = rezFolder + u'/' + fileName;

    // Another save of the same file (the program beside itm-cli) must not
    // read it before this one has replaced it, or one of the two lines is lost.
    DestinationLock lock(root, fileName);
    if (!lock.acquire(failure))
        return false;
    const QString link = FirstSymbolicLink({ rootFile, rezFolder, rezFile });
    if (!link.isEmpty()) {
        setFailure(failure, QStringLiteral("%1 is a symbolic link; it is not written through").arg(link));
        return false;
    }
    RemoveStaleTemporaries(root, fileName);
    RemoveStaleTemporaries(rezFolder, fileName);

    QByteArrayList lines;
    if (!readExistingLines(rootFile, lines, failure))
        return false;
    for (const DeclarationEntry& entry : entries)
        lines = MergeDeclarationLine(lines, luna, an, entry.cui, entry.linie, beforeEachLine);
    const QByteArray content = JoinDeclarationLines(lines);
    if (!writeAtomically(rootFile, content, failure))
        return false;
    QDir().mkdir(rezFolder);
    if (!keepRezCopyThatWouldLoseLines(rezFolder, fileName, lines, luna, an, entries, failure))
        return false;
    return writeAtomically(rezFile, content, failure);
}

} // namespace itm
