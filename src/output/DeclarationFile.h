#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QtGlobal>
#include <functional>

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

// Merges linie into root + "IM%04d%02d.txt" (root already ends with "/" and is
// joined directly) and writes the same content to root + "Rez/" + that name,
// creating the folder "Rez" when it is missing (a failing mkdir is not
// reported itself: the write into it fails instead).
//
// Each file is replaced atomically: the content goes to a temporary file in
// the same folder, which is renamed over the old one only when completely
// written, so a failure (medium full, write-protected or removed) leaves the
// old file whole. An existing root file that cannot be read stops the save
// before anything is written, rather than replacing it with the new line alone
// and losing the lines of other payers.
//
// Returns false when the root file could not be read or either file could not
// be written; a failure of the Rez copy comes after the root file has been
// written. failure, when given, receives a description for a log or console.
bool SaveDeclarationFile(const QString& root, qint64 luna, qint64 an, const QByteArray& cui, const QByteArray& linie,
    const std::function<void()>& beforeEachLine = {}, QString* failure = nullptr);

// One payer's new line for a batch.
struct DeclarationEntry
{
    QByteArray cui;
    QByteArray linie;
};

// The same as saving each entry in turn with SaveDeclarationFile, but each of
// the two files is read and written once: the whole batch lands or none of it
// does. beforeEachLine runs before every line examined, over all the merges.
// No entries: nothing is read or written.
bool SaveDeclarationLines(const QString& root, qint64 luna, qint64 an, const QList<DeclarationEntry>& entries,
    const std::function<void()>& beforeEachLine = {}, QString* failure = nullptr);

} // namespace itm
