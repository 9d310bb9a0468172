#include "output/DeclarationFile.h"

#include "output/DeclarationDestination.h"
#include "output/DeclarationLine.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"
#include "store/StrictNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
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
    QString reason;
    if (WriteFileAtomically(path, content, &reason))
        return true;
    setFailure(failure, QStringLiteral("Cannot write %1: %2").arg(path, reason));
    return false;
}

// The content goes to the temporary file in slices, so that a cancel is heard
// while a large file is written to a slow medium.
bool writeInSlices(AtomicFile& file, const QByteArray& content, JobProgress* progress)
{
    constexpr qsizetype kSlice = 1 << 20;
    for (qsizetype at = 0; at < content.size(); at += kSlice) {
        if (progress)
            progress->checkCancelled();
        if (!file.write(QByteArray::fromRawData(content.constData() + at, qMin(kSlice, content.size() - at))))
            return false;
    }
    return true;
}

// What a line gives way to: every entry (a line without a comma), the entry
// of its code when it is an earlier declaration of the same month, or none.
struct LineKey
{
    enum Kind
    {
        AnyEntry,
        Code,
        NoEntry
    } kind;
    QByteArray cui;
};

// The reading behind IsSameDeclaration, done once per line so that a batch
// asks a set of codes instead of comparing the line with every entry.
LineKey keyOf(const QByteArray& line, qint64 luna, qint64 an)
{
    const qsizetype comma1 = line.indexOf(',');
    if (comma1 < 0)
        return { LineKey::AnyEntry, {} };
    const qsizetype comma2 = line.indexOf(',', comma1 + 1);
    const qsizetype comma3 = comma2 < 0 ? -1 : line.indexOf(',', comma2 + 1);
    if (comma3 < 0 || !readsAs(line.mid(1, 2), luna) || !readsAs(line.mid(comma1 + 2, 4), an))
        return { LineKey::NoEntry, {} };
    return { LineKey::Code, line.mid(comma2 + 1, comma3 - comma2 - 1) };
}

// Whether a line gives way to an entry whose code is among codes.
bool givesWayTo(const LineKey& key, const QSet<QByteArray>& codes)
{
    return key.kind == LineKey::AnyEntry || (key.kind == LineKey::Code && codes.contains(key.cui));
}

// When the root file was missing or older than its Rez copy, the Rez copy may
// be the medium's only copy of other payers' lines: before it is replaced by
// a file without them, it is kept beside itself under a dated name.
bool keepRezCopyThatWouldLoseLines(const QString& rezFolder, const QString& fileName, const QByteArrayList& newLines,
    qint64 luna, qint64 an, const QList<DeclarationEntry>& entries, QString* kept, QString* failure)
{
    const QString rezFile = rezFolder + u'/' + fileName;
    QByteArrayList oldLines;
    QByteArray oldContent;
    if (!readExistingLines(rezFile, oldLines, failure, &oldContent))
        return false;
    QSet<QByteArray> codes;
    for (const DeclarationEntry& entry : entries)
        codes.insert(entry.cui);
    const auto replaced = [&](const QByteArray& line) { return givesWayTo(keyOf(line, luna, an), codes); };
    if (!LosesOtherLines(oldLines, newLines, replaced))
        return true;
    const QString keptPath = rezFolder + u'/' + KeptCopyName(fileName, QDateTime::currentDateTime());
    if (QFileInfo::exists(keptPath) || QFileInfo(keptPath).isSymLink()) {
        setFailure(failure, QStringLiteral("%1 already exists").arg(keptPath));
        return false;
    }
    if (!writeAtomically(keptPath, oldContent, failure))
        return false;
    *kept = keptPath;
    return true;
}

} // namespace

bool IsSameDeclaration(const QByteArray& line, qint64 luna, qint64 an, const QByteArray& cui)
{
    const LineKey key = keyOf(line, luna, an);
    return key.kind == LineKey::AnyEntry || (key.kind == LineKey::Code && key.cui == cui);
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

QByteArrayList MergeDeclarationLines(
    const QByteArrayList& lines, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries, JobProgress* progress)
{
    if (entries.isEmpty())
        return lines;
    QSet<QByteArray> codes;
    codes.reserve(entries.size());
    for (const DeclarationEntry& entry : entries)
        codes.insert(entry.cui);
    constexpr qsizetype kReportEvery = 4096;
    if (progress)
        progress->setTotal(lines.size() + entries.size());
    QByteArrayList merged;
    merged.reserve(lines.size() + entries.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (progress && i % kReportEvery == 0) {
            progress->checkCancelled();
            progress->setDone(i);
        }
        if (!givesWayTo(keyOf(lines.at(i), luna, an), codes))
            merged.append(lines.at(i));
    }
    // An entry's own line gives way only to the entries after it.
    QList<bool> kept(entries.size(), false);
    QSet<QByteArray> later;
    bool anyLater = false;
    for (qsizetype k = entries.size() - 1; k >= 0; --k) {
        const LineKey key = keyOf(entries.at(k).linie, luna, an);
        kept[k] = !(anyLater && givesWayTo(key, later));
        later.insert(entries.at(k).cui);
        anyLater = true;
    }
    for (qsizetype k = 0; k < entries.size(); ++k) {
        if (kept.at(k))
            merged.append(entries.at(k).linie);
    }
    if (progress)
        progress->setDone(lines.size() + entries.size());
    return merged;
}

bool SaveDeclarationFile(const QString& root, qint64 luna, qint64 an, const QByteArray& cui, const QByteArray& linie,
    const std::function<void()>& beforeWriting, QString* failure)
{
    DeclarationSaveOptions options;
    options.beforeWriting = beforeWriting;
    return SaveDeclarationLines(root, luna, an, { DeclarationEntry { cui, linie } }, options, failure);
}

bool SaveDeclarationLines(const QString& root, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries,
    const DeclarationSaveOptions& options, QString* failure)
{
    if (entries.isEmpty())
        return true;
    JobProgress* progress = options.progress;
    const QString fileName = DeclarationFileName(an, luna);
    const QString rootFile = root + fileName;
    const QString rezFolder = root + QStringLiteral("Rez");
    const QString rezFile = rezFolder + u'/' + fileName;

    // Another save of the same file (the program beside itm-cli) must not
    // read it before this one has replaced it, or one of the two lines is lost.
    if (progress)
        progress->setStep(QStringLiteral("Se citeste %1").arg(rootFile));
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
    if (progress)
        progress->setStep(QStringLiteral("Se unesc liniile declaratiilor"));
    lines = MergeDeclarationLines(lines, luna, an, entries, progress);
    const QByteArray content = JoinDeclarationLines(lines);
    if (options.beforeWriting)
        options.beforeWriting();

    if (progress)
        progress->setStep(QStringLiteral("Se scrie %1").arg(rootFile));
    AtomicFile rootWriter(rootFile);
    if (!rootWriter.open() || !writeInSlices(rootWriter, content, progress)) {
        setFailure(failure, QStringLiteral("Cannot write %1: %2").arg(rootFile, rootWriter.errorString()));
        return false;
    }
    if (progress) {
        progress->checkCancelled();
        progress->setCancellable(false);
    }
    if (!rootWriter.commit()) {
        setFailure(failure, QStringLiteral("Cannot write %1: %2").arg(rootFile, rootWriter.errorString()));
        return false;
    }
    QDir().mkdir(rezFolder);
    QString kept;
    if (!keepRezCopyThatWouldLoseLines(rezFolder, fileName, lines, luna, an, entries, &kept, failure))
        return false;
    if (options.report) {
        options.report->rootFile = rootFile;
        options.report->lineCount = lines.size();
        options.report->keptRezCopy = kept;
    }
    return writeAtomically(rezFile, content, failure);
}

} // namespace itm
