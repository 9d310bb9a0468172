#pragma once

#include "declaration/DeclarationPanel.h"
#include "payers/PayerPanel.h"
#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "support/MainWindowFixture.h"
#include "support/SampleRecords.h"
#include "widgets/DbEdit.h"

#include <QLineEdit>
#include <QPushButton>
#include <sqlite3.h>

// The payer panel of the main window driven as a user does, and what it left
// in the database file; shared by the tests of the panel.
namespace itm::test {

using State = TDecl::WindowState;

// One value read straight from the database file, past the program's cursors.
inline QString stored(const TestDatabase& db, const QString& sql)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.path().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    QString result;
    if (sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        result = text ? QString::fromUtf8(text) : QString();
    } else {
        result = QStringLiteral("<none>");
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return result;
}

inline QString column(const TestDatabase& db, const QString& cui, const QString& name)
{
    return stored(db, QStringLiteral("SELECT %1 FROM firme WHERE cui = '%2'").arg(name, cui));
}

inline int payerCount(const TestDatabase& db)
{
    return stored(db, QStringLiteral("SELECT count(*) FROM firme")).toInt();
}

// The payer panel of a fixture, with the steps a user takes on it.
struct Panel
{
    MainWindowFixture& f;
    PayerPanel* dcgb;

    explicit Panel(MainWindowFixture& fixture)
        : f(fixture)
        , dcgb(fixture.window->dcgb)
    {
    }

    Dataset& payer() const { return *f.dm->qryFirme; }
    QString text(const char* name) const { return payer().FieldByName(QString::fromLatin1(name)).AsString(); }
    void write(const char* name, const QString& value) const
    {
        payer().FieldByName(QString::fromLatin1(name)).setAsString(value);
    }

    // Everything the rules ask for, as a user would have filled it in.
    void fill() const
    {
        write("prefix", QStringLiteral("1"));
        write("denumire", QStringLiteral("ALFA"));
        write("sufix", QStringLiteral("1"));
        write("codjudet", QStringLiteral("16"));
        write("loc", QStringLiteral("CRAIOVA"));
        write("str", QStringLiteral("UNIRII"));
        write("nr", QStringLiteral("5"));
        write("numerep", QStringLiteral("POPESCU"));
        write("prenumerep", QStringLiteral("ION"));
        write("funcrep", QStringLiteral("ADMINISTRATOR"));
        write("banca", QStringLiteral("BCR"));
        write("cont", QStringLiteral("RO49AAAA1B31007593840000"));
    }

    // "Validare &date societate" pressed from the keyboard.
    void validate() const
    {
        dcgb->Button3->setFocus(Qt::TabFocusReason);
        MainWindowFixture::settle();
        MainWindowFixture::key(dcgb->Button3, Qt::Key_Return);
    }

    void focus(QWidget* control) const { MainWindowFixture::enter(control); }

    // Replaces the text of a focused field by typing.
    void retype(QLineEdit* edit, const QString& typed) const
    {
        focus(edit);
        edit->selectAll();
        if (typed.isEmpty())
            MainWindowFixture::key(edit, Qt::Key_Backspace);
        else
            MainWindowFixture::type(edit, typed);
    }
};

inline void seedPayer19(TestDatabase& db)
{
    samples::addPayer(db, QStringLiteral("19"));
}

} // namespace itm::test
