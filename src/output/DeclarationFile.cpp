#include "output/DeclarationFile.h"

#include "output/DeclarationDestination.h"
#include "output/DeclarationLine.h"
#include "platform/AtomicFile.h"
#include "platform/Job.h"
#include "store/StrictNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// Whether a line gives way to an entry whose code is among codes (a set, or
// the keys of a hash).
template <typename Codes> bool givesWayTo(const LineKey& key, const Codes& codes)
{
    return key.kind == LineKey::AnyEntry || (key.kind == LineKey::Code && codes.contains(key.cui));
}

// Which lines a merge keeps, decided once for both files: the existing
// lines that no entry replaces, then the entries' own lines that no later
// entry replaces. The merged content is never held whole: it is written line
// by line from the existing lines and the entries.
struct MergePlan
{
    QHash<QByteArray, qsizetype> lastEntryOfCode; // every entry's code, with the last entry that has it
    QList<bool> keepsLine; // per existing line
    QList<bool> keepsEntry; // per entry
    qsizetype lineCount = 0; // of the merged content
};

MergePlan planMerge(
    const QByteArrayList& lines, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries, JobProgress* progress)
{
    MergePlan plan;
    // An entry's line gives way only to the entries after it.
    QHash<QByteArray, qsizetype>& lastEntryOfCode = plan.lastEntryOfCode;
    lastEntryOfCode.reserve(entries.size());
    for (qsizetype k = 0; k < entries.size(); ++k)
        lastEntryOfCode.insert(entries.at(k).cui, k);
    constexpr qsizetype kReportEvery = 4096;
    if (progress)
        progress->setTotal(lines.size() + entries.size());
    plan.keepsLine.resize(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (progress && i % kReportEvery == 0) {
            progress->checkCancelled();
            progress->setDone(i);
        }
        plan.keepsLine[i] = !givesWayTo(keyOf(lines.at(i), luna, an), plan.lastEntryOfCode);
        plan.lineCount += plan.keepsLine.at(i);
    }
    plan.keepsEntry.resize(entries.size());
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const LineKey key = keyOf(entries.at(k).linie, luna, an);
        const bool anyLater = k + 1 < entries.size();
        const bool givesWay = anyLater
            && (key.kind == LineKey::AnyEntry || (key.kind == LineKey::Code && lastEntryOfCode.value(key.cui, -1) > k));
        plan.keepsEntry[k] = !givesWay;
        plan.lineCount += !givesWay;
    }
    if (progress)
        progress->setDone(lines.size() + entries.size());
    return plan;
}

// Calls visit with each line of the merged content, in order.
template <typename Visit>
void forEachMergedLine(
    const QByteArrayList& lines, const QList<DeclarationEntry>& entries, const MergePlan& plan, Visit visit)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (plan.keepsLine.at(i))
            visit(lines.at(i));
    }
    for (qsizetype k = 0; k < entries.size(); ++k) {
        if (plan.keepsEntry.at(k))
            visit(entries.at(k).linie);
    }
}

// The merged content goes to the temporary file in slices of about a
// megabyte, so that a cancel (when progress is given) is heard while a large
// file is written to a slow medium.
bool writeMerged(AtomicFile& file, const QByteArrayList& lines, const QList<DeclarationEntry>& entries,
    const MergePlan& plan, JobProgress* progress)
{
    constexpr qsizetype kSlice = 1 << 20;
    QByteArray slice;
    slice.reserve(kSlice + 4096);
    bool written = true;
    const auto flush = [&] {
        if (progress)
            progress->checkCancelled();
        written = written && file.write(slice);
        slice.resize(0); // keeps its room for the next slice
    };
    forEachMergedLine(lines, entries, plan, [&](const QByteArray& line) {
        slice += line;
        slice += "\r\n";
        if (slice.size() >= kSlice)
            flush();
    });
    if (!slice.isEmpty())
        flush();
    return written;
}

// When the root file was missing or older than its Rez copy, the Rez copy may
// be the medium's only copy of other payers' lines: before it is replaced by
// a file without them, it is kept beside itself under a dated name.
bool keepRezCopyThatWouldLoseLines(const QString& rezFolder, const QString& fileName, const QByteArrayList& lines,
    qint64 luna, qint64 an, const QList<DeclarationEntry>& entries, const MergePlan& plan, QString* kept,
    QString* failure)
{
    const QString rezFile = rezFolder + u'/' + fileName;
    QByteArrayList oldLines;
    QByteArray oldContent;
    if (!readExistingLines(rezFile, oldLines, failure, &oldContent))
        return false;
    const auto replaced
        = [&](const QByteArray& line) { return givesWayTo(keyOf(line, luna, an), plan.lastEntryOfCode); };
    // A line of the copy that nothing replaces can only equal a new line
    // that nothing replaces either (the same bytes give the same key): of a
    // month's new lines, nearly always those of the other payers alone.
    QByteArrayList unreplaced;
    forEachMergedLine(lines, entries, plan, [&](const QByteArray& line) {
        if (!replaced(line))
            unreplaced.append(line);
    });
    if (!LosesOtherLines(oldLines, unreplaced, replaced))
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
    const MergePlan plan = planMerge(lines, luna, an, entries, progress);
    QByteArrayList merged;
    merged.reserve(plan.lineCount);
    forEachMergedLine(lines, entries, plan, [&](const QByteArray& line) { merged.append(line); });
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
    const MergePlan plan = planMerge(lines, luna, an, entries, progress);
    if (options.beforeWriting)
        options.beforeWriting();

    if (progress)
        progress->setStep(QStringLiteral("Se scrie %1").arg(rootFile));
    AtomicFile rootWriter(rootFile);
    if (!rootWriter.open() || !writeMerged(rootWriter, lines, entries, plan, progress)) {
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
    if (!keepRezCopyThatWouldLoseLines(rezFolder, fileName, lines, luna, an, entries, plan, &kept, failure))
        return false;
    if (options.report) {
        options.report->rootFile = rootFile;
        options.report->lineCount = plan.lineCount;
        options.report->keptRezCopy = kept;
    }
    AtomicFile rezWriter(rezFile);
    if (!rezWriter.open() || !writeMerged(rezWriter, lines, entries, plan, nullptr) || !rezWriter.commit()) {
        setFailure(failure, QStringLiteral("Cannot write %1: %2").arg(rezFile, rezWriter.errorString()));
        return false;
    }
    return true;
}

} // namespace itm
