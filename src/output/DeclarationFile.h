#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace itm {
class JobProgress;
}

namespace itm {

// The declaration file of a month holds one declaration line per payer, each
// ended by CR LF. It is handled as bytes throughout: lines of other payers are
// written back exactly as they were read, whatever they contain.

// Whether line is an earlier declaration of the payer cui for month luna of
// year an, and so gives way to the new one:
//   - a line without any comma (an empty line too): true, it is dropped;
//   - one or two commas: false, it stays;
//   - three or more: true only if the characters at positions 2 and 3 read as
//     luna, the four characters from two past the first comma read as an
//     (strict whole-number conversion; a text that is no number makes the
//     answer false) and the text strictly between the second and third commas
//     equals cui byte for byte (letter case and blanks count).
bool IsSameDeclaration(const QByteArray& line, qint64 luna, qint64 an, const QByteArray& cui);

// Lines of a file's content: a line ends at CR, LF or CR LF; text after the
// last line end is a last line; nothing else changes.
QByteArrayList SplitDeclarationLines(const QByteArray& content);

// Every line followed by CR LF.
QByteArray JoinDeclarationLines(const QByteArrayList& lines);

// The lines of an existing file with every line for which IsSameDeclaration
// holds removed, in their order, and linie appended last. beforeEachLine runs
// before each existing line is examined (the drive dialog keeps its window
// responsive there).
QByteArrayList MergeDeclarationLine(const QByteArrayList& lines, qint64 luna, qint64 an, const QByteArray& cui,
    const QByteArray& linie, const std::function<void()>& beforeEachLine = {});

// One payer's new line for a batch.
struct DeclarationEntry
{
    QByteArray cui;
    QByteArray linie;
};

// The lines of an existing file merged with a batch of new lines, in one
// pass: the same as merging each entry in turn with MergeDeclarationLine (an
// existing line given way by any entry goes, an entry's line given way by a
// later entry goes, the rest keep their order and the new lines come last),
// whatever the number of lines. progress, when given, counts the lines
// examined and is asked whether to stop (JobCancelled).
QByteArrayList MergeDeclarationLines(
    const QByteArrayList& lines, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries, JobProgress* progress);

// What a save wrote, for the window to show.
struct DeclarationSaveReport
{
    QString rootFile; // the declaration file written
    qsizetype lineCount = 0; // the lines it now holds
    // The Rez copy set aside under a dated name because it held lines of
    // other payers that the root file lacked (the root file was missing or
    // older); empty when none was.
    QString keptRezCopy;
};

struct DeclarationSaveOptions
{
    // Runs once, after the lines are merged and before anything is written
    // (the drive dialog checks there that the medium is still the one
    // chosen); it may throw to stop the save with nothing written.
    std::function<void()> beforeWriting;
    // Counts the merge and the writing, and is asked whether to stop until
    // the first file is renamed into place; past that point the save ends.
    JobProgress* progress = nullptr;
    DeclarationSaveReport* report = nullptr;
};

// Merges the batch's lines into root + "IM%04d%02d.txt" (root already ends
// with "/" and is joined directly) and writes the same content to root +
// "Rez/" + that name, creating the folder "Rez" when it is missing (a failing
// mkdir is not reported itself: the write into it fails instead). Each file
// is read once and written once, so the whole batch lands or none of it does.
//
// Each file is replaced atomically (AtomicFile), so a failure (medium full,
// write-protected or removed) leaves the old file whole. An existing root
// file that cannot be read stops the save before anything is written, rather
// than replacing it with the new lines alone and losing other payers' lines.
//
// Returns false when the root file could not be read or either file could not
// be written; a failure of the Rez copy comes after the root file has been
// written. failure, when given, receives a description for a log or console.
// No entries: nothing is read or written. A cancel through options.progress
// throws JobCancelled with nothing written.
bool SaveDeclarationLines(const QString& root, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries,
    const DeclarationSaveOptions& options = {}, QString* failure = nullptr);

// One payer's line, saved as a batch of one.
bool SaveDeclarationFile(const QString& root, qint64 luna, qint64 an, const QByteArray& cui, const QByteArray& linie,
    const std::function<void()>& beforeWriting = {}, QString* failure = nullptr);

} // namespace itm
