#include "widgets/DbCheckBox.h"
#include "widgets/FormBuilder.h"

#include <QApplication>
#include <QTest>
#include <stdexcept>

using namespace itm;

namespace {
const FormCell cells[] = {
    edit("street", "Strada:", "str", 0, 1, 0, LabelApart | Grow),
    edit("number", "Nr:", "nr", 0, 1, 60),
    edit("email", "E-mail:", "email", 1, 1, 190, LabelApart, CharCase::Lower),
    checkBox("bankrupt", "Societatea este in faliment", "faliment", 2, 0),
};
} // namespace

class TestFormBuilder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlsCarryTheTablesNamesColumnsAndWidths()
    {
        QWidget form;
        const FormControls controls = buildForm(&form, cells);
        QCOMPARE(controls.get<DbEdit>("street")->dataField(), QStringLiteral("str"));
        QCOMPARE(controls.get<DbEdit>("number")->width(), 60);
        QCOMPARE(controls.labelOf("number")->text(), QStringLiteral("Nr:"));
        QCOMPARE(controls.labelOf("number")->buddy(), controls.get<DbEdit>("number"));
        QCOMPARE(controls.get<DbCheckBox>("bankrupt")->text(), QStringLiteral("Societatea este in faliment"));
    }

    void captionsApartLineTheirFieldsUp()
    {
        QWidget form;
        const FormControls controls = buildForm(&form, cells);
        form.resize(600, 120);
        form.show();
        QTRY_VERIFY(form.isVisible());
        QCOMPARE(controls.get<DbEdit>("street")->x(), controls.get<DbEdit>("email")->x());
        QVERIFY(controls.labelOf("email")->geometry().right() < controls.get<DbEdit>("email")->x());
    }

    void aTableThatContradictsItselfIsRefused()
    {
        const FormCell twice[] = { edit("street", nullptr, "str", 0, 0, 0), edit("street", nullptr, "nr", 0, 0, 0) };
        const FormCell noColumnBefore[] = { edit("street", "Strada:", "str", 0, 0, 0, LabelApart) };
        QWidget form;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, buildForm(&form, twice));
        QWidget other;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, buildForm(&other, noColumnBefore));
    }

    void aNameTheTableDoesNotHoldIsRefused()
    {
        QWidget form;
        const FormControls controls = buildForm(&form, cells);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, controls.get<DbEdit>("nosuch"));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, controls.get<DbEdit>("bankrupt"));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, controls.labelOf("bankrupt"));
    }
};

QTEST_MAIN(TestFormBuilder)
#include "tst_formbuilder.moc"
