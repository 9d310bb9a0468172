#pragma once

#include "payers/TVelaDBAutoCompletitionEdit.h"
#include "payers/TVelaDBListBox.h"
#include "store/Tdm.h"
#include "support/GuiFixture.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"
#include "widgets/ControlHooks.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>

// The lookup fields on a window of their own, shared by their tests.
namespace itm::test {

// What a field says when it may not be left as it is.
inline const QString refusal = QStringLiteral("Pentru a continua trebuie sa selectati/adaugati o valoare");

// Four payers, in code order 1235, 124, 19, 191; their counties: DOLJ, a key
// with no county, GORJ, and a lower-case key of an upper-case county. The
// first is the current payer once the register opens.
inline void seedRegister(TestDatabase& db)
{
    for (const char* code : { "1235", "124", "19", "191" })
        samples::addPayer(db, QString::fromLatin1(code));
    db.exec("UPDATE firme SET codjudet = '99' WHERE cui = '124';"
            "UPDATE firme SET codjudet = '18' WHERE cui = '19';"
            "UPDATE firme SET codjudet = 'xy' WHERE cui = '191';"
            "INSERT INTO judete (codjudet, denumire) VALUES ('XY', 'ZETA');");
}

// A window with the two kinds of lookup field the program has: a payer code
// completed from the register (no bound record) and a county that accepts
// list values only and stores the county key into the payer record. A third,
// plain edit is where Tab goes from the county.
struct LookupWindow : GuiFixture
{
    TestDatabase db;
    std::unique_ptr<Tdm> dm;
    std::unique_ptr<QWidget> window;
    TVelaDBAutoCompletitionEdit* cui = nullptr;
    TVelaDBAutoCompletitionEdit* jud = nullptr;
    QLineEdit* other = nullptr;
    QList<int> keysSeen; // what reached the window's key handler
    QStringList visits; // the window's enter and exit handlers, as "enter cui", "exit jud"

    explicit LookupWindow(const std::function<void(TestDatabase&)>& seed = seedRegister)
    {
        if (seed)
            seed(db);
        dm = std::make_unique<Tdm>(db.path());
        window = std::make_unique<QWidget>();
        window->setGeometry(50, 50, 420, 420);
        // Created first, so that the window opens with the focus here.
        other = new QLineEdit(window.get());
        other->setObjectName(QStringLiteral("other"));
        other->setGeometry(220, 10, 150, 22);

        cui = new TVelaDBAutoCompletitionEdit(window.get());
        cui->setObjectName(QStringLiteral("cui"));
        cui->setGeometry(10, 10, 150, 22);
        cui->KeyField = QStringLiteral("id");
        cui->NoValueNoExit = true;
        cui->setListSource(dm->sFirme);
        cui->setListField(QStringLiteral("cui"));

        jud = new TVelaDBAutoCompletitionEdit(window.get());
        jud->setObjectName(QStringLiteral("jud"));
        jud->setGeometry(10, 200, 150, 22);
        jud->KeyField = QStringLiteral("codjudet");
        jud->ReadOnly = true;
        jud->NoValueNoExit = true;
        jud->setListSource(dm->sJudete);
        jud->setListField(QStringLiteral("denumire"));
        jud->setDataSource(dm->sFirme);
        jud->setDataField(QStringLiteral("codjudet"));

        QWidget::setTabOrder(cui, jud);
        QWidget::setTabOrder(jud, other);

        for (QWidget* control :
            { static_cast<QWidget*>(cui), static_cast<QWidget*>(jud), static_cast<QWidget*>(other) }) {
            attachHooks(control,
                { [this](QWidget*, int key) {
                     keysSeen.append(key);
                     return false;
                 },
                    [this](QWidget* sender) { visits.append(QStringLiteral("enter ") + sender->objectName()); },
                    [this](QWidget* sender) { visits.append(QStringLiteral("exit ") + sender->objectName()); }, {} });
        }

        window->show();
        QApplication::setActiveWindow(window.get());
        QTEST_ASSERT(QTest::qWaitForWindowActive(window.get()));
        settle();
    }

    // The handlers above write into this object: the window goes first.
    ~LookupWindow()
    {
        window.reset();
        dm.reset();
    }

    TVelaDBAutoCompletitionEdit* field(const QString& name) const { return name == u"cui" ? cui : jud; }

    // Empties a focused lookup field the way a user does.
    static void clearField(QLineEdit* edit)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        settle();
    }

    Dataset* list(TVelaDBAutoCompletitionEdit* edit) const { return edit == cui ? dm->qryFirme : dm->qryJudete; }

    // The list field of the list dataset's current row.
    QString current(TVelaDBAutoCompletitionEdit* edit) const
    {
        return list(edit)->FieldByName(edit->ListField()).AsString();
    }

    QString boundCounty() const { return dm->qryFirme->FieldByName(QStringLiteral("codjudet")).AsString(); }

    QList<TVelaDBListBox*> dropDowns() const { return window->findChildren<TVelaDBListBox*>(); }
};

} // namespace itm::test
