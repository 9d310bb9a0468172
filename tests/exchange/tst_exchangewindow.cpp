#include "exchange/ExchangeWindow.h"
#include "exchange/ImportPreview.h"
#include "platform/AtomicFile.h"
#include "platform/FileChooser.h"
#include "platform/Platform.h"
#include "store/Tdm.h"
#include "support/FakeFileChooser.h"
#include "support/FakeJobs.h"
#include "support/FakePrompts.h"
#include "support/GuiTestCase.h"
#include "support/SampleRecords.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace samples = itm::test::samples;

using namespace itm;
using namespace itm::exchange;
using itm::test::TestDatabase;

class TestExchangeWindow : public itm::test::GuiTestCase
{
    Q_OBJECT

    test::FakePrompts m_prompts;
    test::FakeFileChooser m_files;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Tdm> m_dm;

    QString writeFile(const QByteArray& bytes)
    {
        const QString path = m_db->folder() + QStringLiteral("/payers.csv");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    // Opens the import, reads the preview while it is up, then answers it
    // with the key given.
    QStringList previewAnswered(Qt::Key key, bool* importEnabled)
    {
        QStringList cells;
        QTimer::singleShot(0, this, [&] {
            auto* preview = qobject_cast<ImportPreview*>(QApplication::activeModalWidget());
            if (!preview)
                return;
            const QAbstractItemModel* rows = preview->table->model();
            for (int r = 0; r < rows->rowCount(); ++r) {
                QStringList row;
                for (int c = 0; c < rows->columnCount(); ++c)
                    row << rows->index(r, c).data().toString();
                cells << row.join(u'|');
            }
            *importEnabled = preview->importButton->isEnabled();
            QTest::keyClick(preview->table, key);
            if (preview->isVisible())
                preview->reject();
        });
        ImportPayersFromWindow(*m_dm, nullptr);
        return cells;
    }

private Q_SLOTS:
    void init()
    {
        platform().prompts = &m_prompts;
        platform().files = &m_files;
        m_prompts.clear();
        m_files.names.clear();
        m_files.captions.clear();
        m_db = std::make_unique<TestDatabase>();
        samples::addPayer(*m_db, QStringLiteral("19"));
        m_dm = std::make_unique<Tdm>(m_db->path());
    }
    void cleanup()
    {
        GuiTestCase::cleanup();
        m_dm.reset();
        m_db.reset();
    }

    void enterImportsWhatThePreviewShowed()
    {
        m_files.names << writeFile("cui;denumire;judet;loc;str;numerep;prenumerep;funcrep\n"
                                   "19;ALFA;DOLJ;CRAIOVA;UNIRII;A;B;C\n27;BETA;DOLJ;CRAIOVA;UNIRII;A;B;C\n");
        m_prompts.answerOk();
        bool enabled = false;
        QCOMPARE(previewAnswered(Qt::Key_Return, &enabled),
            QStringList({ "2|19|existent||||", "3|27|nou|BETA|DOLJ|CRAIOVA|" }));
        QVERIFY(enabled);
        QCOMPARE(m_prompts.lastText(), QStringLiteral("importati 1, actualizati 0, respinsi 0, existenti 1"));
        // The register query knows the payer written beside it.
        QCOMPARE(m_dm->qryFirme->RecordCount(), 2);
        QVERIFY(m_dm->qryFirme->Locate(QStringLiteral("cui"), QStringLiteral("27")));
    }

    void aRefusedRowLeavesOnlyEscape()
    {
        m_files.names << writeFile("cui,denumire\n18,ALFA\n");
        bool enabled = true;
        QCOMPARE(previewAnswered(Qt::Key_Return, &enabled),
            QStringList({ "2|18|respins||||Atentie, cod fiscal eronat !!!" }));
        QVERIFY(!enabled);
        QCOMPARE(m_dm->qryFirme->RecordCount(), 1);
    }

    void escapeOrNoFileImportsNothing()
    {
        m_files.names << writeFile("cui,denumire,judet,loc,str,numerep,prenumerep,funcrep\n"
                                   "27,BETA,DOLJ,CRAIOVA,UNIRII,A,B,C\n")
                      << QString();
        bool enabled = false;
        QCOMPARE(previewAnswered(Qt::Key_Escape, &enabled).size(), 1);
        QVERIFY(!ImportPayersFromWindow(*m_dm, nullptr));
        m_dm->qryFirme->Refresh();
        QCOMPARE(m_dm->qryFirme->RecordCount(), 1);
    }

    void thePreviewShowsWhatIsStoredAndDoubtsALostLetter()
    {
        m_files.names << writeFile("cui;denumire;judet;loc;sector;str;numerep;prenumerep;funcrep\n"
                                   "27;Beta, \"Nord\";Municipiul Bucuresti;;2;UNIRII;A;B;C\n"
                                   "35;\xC8\x98TEF?NESTI;Caras Severin;Resita;;UNIRII;A;B;C\n");
        bool enabled = false;
        test::FakeJobs jobs;
        platform().jobs = &jobs;
        const QStringList rows = previewAnswered(Qt::Key_Escape, &enabled);
        platform().jobs = nullptr;
        QCOMPARE(rows,
            QStringList({ "2|27|nou|BETA   NORD |BUCURESTI|BUCURESTI|",
                "3|35|nou|STEF?NESTI|CARAS-SEVERIN|RESITA|Semnul '?' in mijlocul unui cuvant in campul 'denumire': "
                "o litera pierduta la salvarea fisierului?" }));
        QVERIFY(enabled);
        QCOMPARE(jobs.titles, QStringList { "Import contribuabili" });
    }

    void aPayerBeingEditedIsNotOverwritten()
    {
        m_dm->qryFirme->Edit();
        m_prompts.answerOk();
        QVERIFY(!ImportPayersFromWindow(*m_dm, nullptr));
        QCOMPARE(m_files.captions, QStringList());
        QCOMPARE(m_dm->qryFirme->State(), DatasetState::Edit);
    }

    void theRegisterGoesToTheFileChosen()
    {
        const QString path = m_db->folder() + QStringLiteral("/registru.csv");
        m_files.names << path << m_db->folder() + QStringLiteral("/registru.ods");
        m_prompts.answerOk(2);
        QVERIFY(ExportRegisterFromWindow(*m_dm, nullptr));
        QCOMPARE(m_prompts.lastText(), QStringLiteral("Registrul a fost scris in %1").arg(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readLine().startsWith("cui,prefix,denumire,sufix,judet,"));
        QVERIFY(!ExportRegisterFromWindow(*m_dm, nullptr));
        QCOMPARE(m_prompts.lastText(), QStringLiteral("Numele fisierului trebuie sa se termine in .xlsx sau .csv"));
    }

    void theMonthGoesToTheFileChosen()
    {
        const QString path = m_db->folder() + QStringLiteral("/luna.csv");
        m_files.names << path;
        m_prompts.answerOk(1);
        QVERIFY(ExportMonthFromWindow(*m_dm, { 3, 2026 }, nullptr));
        QCOMPARE(m_prompts.lastText(), QStringLiteral("Situatia lunii a fost scrisa in %1").arg(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine(), QByteArray("cui,denumire,judet,stare,nrsal,fondlunsal,comdat,comac\n"));
        QVERIFY(file.readLine().startsWith("19,"));
    }

    void aNameWithoutEndingIsAWorkbook()
    {
        m_files.names << m_db->folder() + QStringLiteral("/luna");
        m_prompts.answerOk(1);
        QVERIFY(ExportMonthFromWindow(*m_dm, { 3, 2026 }, nullptr));
        const QString path = m_db->folder() + QStringLiteral("/luna.xlsx");
        QCOMPARE(m_prompts.lastText(), QStringLiteral("Situatia lunii a fost scrisa in %1").arg(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(2) == "PK");
    }

    void aFileThatCannotBeWrittenIsToldInRomanian()
    {
        const QString path = m_db->folder() + QStringLiteral("/lipsa/registru.csv");
        m_files.names << path;
        m_prompts.answerOk(1);
        QVERIFY(!ExportRegisterFromWindow(*m_dm, nullptr));
        QCOMPARE(m_prompts.lastText(),
            QStringLiteral("Fisierul %1 nu a putut fi scris; daca exista deja, a ramas neschimbat. Verificati ca "
                           "discul are loc liber si ca puteti scrie in dosarul ales.")
                .arg(path));
    }

    void aCancelledExportLeavesTheOldFile()
    {
        const QString path = m_db->folder() + QStringLiteral("/registru.csv");
        QVERIFY(WriteFileAtomically(path, "old"));
        m_files.names << path;
        m_prompts.answerOk(1);
        test::FakeJobs jobs;
        jobs.cancelWhenDone(0);
        platform().jobs = &jobs;
        const bool written = ExportRegisterFromWindow(*m_dm, nullptr);
        platform().jobs = nullptr;
        QVERIFY(!written);
        QCOMPARE(jobs.titles, QStringList { "Export registru contribuabili" });
        QCOMPARE(m_prompts.lastText(), QStringLiteral("Exportul a fost oprit: fisierul nu a fost scris."));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }

    void theRegisterExportSitsBesideExport()
    {
        QDialog window;
        auto* row = new QHBoxLayout(&window);
        auto* exportButton = new QPushButton(QStringLiteral("E&xport"), &window);
        auto* closeButton = new QPushButton(QStringLiteral("&Inchide"), &window);
        row->addWidget(exportButton);
        row->addWidget(closeButton);
        QPushButton* registerButton = AddRegisterExportBeside(exportButton, *m_dm);
        QCOMPARE(row->indexOf(registerButton), 1);
        QCOMPARE(exportButton->nextInFocusChain(), registerButton);
        QCOMPARE(registerButton->shortcut(), QKeySequence(QStringLiteral("Alt+R")));
        const QString path = m_db->folder() + QStringLiteral("/registru.csv");
        m_files.names << path;
        m_prompts.answerOk(1);
        registerButton->click();
        QCOMPARE(m_prompts.lastText(), QStringLiteral("Registrul a fost scris in %1").arg(path));
    }

    void theFileChooserSpeaksRomanianAndEndsANameAsItsFilter()
    {
        const auto chooser = QtFileChooser::dialog(nullptr, QStringLiteral("Export"), QStringLiteral("luna.xlsx"),
            QStringLiteral("Situatia lunii (*.xlsx *.csv)"), true);
        QCOMPARE(chooser->defaultSuffix(), QStringLiteral("xlsx"));
        QCOMPARE(chooser->labelText(QFileDialog::Accept), QStringLiteral("&Salveaza"));
        QCOMPARE(chooser->labelText(QFileDialog::Reject), QStringLiteral("Renunta"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?"),
            QStringLiteral("%1 exista deja.\nIl inlocuiti?"));
    }
};

QTEST_MAIN(TestExchangeWindow)
#include "tst_exchangewindow.moc"
