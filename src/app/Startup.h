#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace itm {

class DatabaseLock;
class PrintedForms;
class TDecl;
class Tdm;
class TfDenumire;
class TfSelDisck;

// Everything the program creates at start-up, in creation order; each lives
// until the program ends.
struct ProgramObjects
{
    // Taken before anything else and held until the end: one program per database.
    std::unique_ptr<DatabaseLock> lock;
    std::unique_ptr<TDecl> Decl;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<TfDenumire> fDenumire;
    std::unique_ptr<TfSelDisck> fSelDisck;
    std::unique_ptr<PrintedForms> forms; // rLunff, rIan, rLun

    ProgramObjects();
    ~ProgramObjects();
};

// The parts of the program that a test may stand in for, where the test's
// platform cannot do what a desktop does (no window manager gives the focus
// back after a modal dialog) or where the test looks at the windows in a way
// the part would disturb. Each one left empty is the program's own.
struct ProgramParts
{
    // Opens the legal-name dialog over the payer record.
    std::function<void(TfDenumire& dialog)> openNameDialog;
    // Creates the drive dialog, over the main window.
    std::function<std::unique_ptr<TfSelDisck>(TDecl& mainWindow)> createDriveDialog;
};

// Takes the database's lock, then creates the windows and the data module in
// their order. A database held by another running program is reported in a
// plain box and nothing is created or opened. An error on the way is shown in
// the standard error box and the objects not yet created are not created;
// returns whether everything was created.
bool createProgram(ProgramObjects& objects, const QString& databasePath, const ProgramParts& parts = {});

// Runs the program until the main window closes; a failed start ends it with
// exit code 0 without showing the main window.
int runProgram(int argc, char** argv);

} // namespace itm
