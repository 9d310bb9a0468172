#pragma once

#include "store/Connection.h"
#include "store/Dataset.h"

#include <QObject>

namespace itm {

class TypedRecord;

// The data module: the connection, the queries through which every window
// reads and writes the register and the declarations, their update
// statements, the data sources, and the rules that clean a record before it
// is written.
class Tdm : public QObject
{
    Q_OBJECT
public:
    static QString defaultDatabasePath();

    // Opens the database (never creating it) and the payer and county queries;
    // raises DatabaseError with SQLite's message when any of that fails.
    explicit Tdm(const QString& databasePath = defaultDatabasePath(), QObject* parent = nullptr);
    ~Tdm() override;

    Connection con;
    Dataset* qryFirme;
    Dataset* qryJudete;
    Dataset* qryJudL;
    Dataset* qryDeclaratii;
    Query qry;
    UpdateSql uFirmez;
    UpdateSql uDeclaratii;
    DataSource* sFirme;
    DataSource* sJudete;
    DataSource* sJudL;
    DataSource* sDeclaratii;

    // Whether the register keeps its history (the versions of every saved
    // declaration, the deleted payers); a register that was not upgraded, or
    // one of a newer program, is used as before without it.
    bool keepsHistory() const { return m_keepsHistory; }

    void qryFirmeBeforePost(Dataset& dataset);
    void qryDeclaratiiBeforePost(Dataset& dataset);

Q_SIGNALS:
    // The last step of every payer post: the record has been cleaned and is
    // about to be written (the payer panel shows the stored name from it).
    void payerCleaned();

private:
    bool m_keepsHistory = false;
};

// The statements that keep a declaration's versions beside every save of it
// (see UpdateSql): the first modify of a declaration saved before the history
// existed keeps what it replaces as version 1 without a date; every insert and
// modify then keeps what it wrote, with the date and time of the save (the
// server's local time on a register on a server).
void KeepDeclarationVersions(UpdateSql& declarations, bool onServer = false);

// The clean-up qryFirmeBeforePost gives a payer, for a payer record that is
// written without the payer query (the import): the same rule, step by step.
void CleanPayerRecord(TypedRecord& record);

} // namespace itm
