#include "widgets/DbCheckBox.h"
#include "widgets/FormBuilder.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <stdexcept>

using namespace itm;

namespace {
const FormCell cells[] = {
    { .kind = Control::Edit,
        .name = "street",
        .caption = "Strada:",
        .column = "str",
        .geometry = { .col = 1 },
        .flags = LabelApart | Grow },
    { .kind = Control::Edit,
        .name = "number",
        .caption = "Nr:",
        .column = "nr",
        .geometry = { .col = 1, .width = 60 } },
    { .kind = Control::Edit,
        .name = "email",
        .caption = "E-mail:",
        .column = "email",
        .geometry = { .row = 1, .col = 1, .width = 190 },
        .flags = LabelApart,
        .charCase = CharCase::Lower },
    { .kind = Control::CheckBox,
        .name = "bankrupt",
        .caption = "Societatea este in faliment",
        .column = "faliment",
        .geometry = { .row = 2 } },
};

QWidget* twoChoices(QWidget* parent)
{
    return new RadioGroup(QStringLiteral("Cota"), { QStringLiteral("A"), QStringLiteral("B") }, 2, parent);
}

const FormCell roadCells[] = {
    { .kind = Control::Edit, .name = "street", .column = "str", .flags = RoadField },
    { .kind = Control::Label, .name = "note", .caption = "Nota" },
    { .kind = Control::Widget, .name = "rate", .create = &twoChoices },
    { .kind = Control::Edit, .name = "number", .column = "nr", .geometry = { .row = 1 }, .source = 1 },
    { .kind = Control::Button, .name = "save", .caption = "Salveaza", .geometry = { .row = 2 }, .flags = ButtonKeys },
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
        const FormCell twice[] = { { .kind = Control::Edit, .name = "street", .column = "str" },
            { .kind = Control::Edit, .name = "street", .column = "nr" } };
        const FormCell noColumnBefore[] = {
            { .kind = Control::Edit, .name = "street", .caption = "Strada:", .column = "str", .flags = LabelApart }
        };
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

    void theTableGivesTheTabOrderAndTheBoundColumns()
    {
        QWidget form;
        const FormControls controls = buildForm(&form, roadCells);
        auto* rate = controls.get<RadioGroup>("rate");
        // The radio group's items stand in its place; the label takes no focus.
        const QList<QWidget*> expected { controls.get<DbEdit>("street"), rate->buttons()[0], rate->buttons()[1],
            controls.get<DbEdit>("number"), controls.get<QPushButton>("save") };
        QCOMPARE(controls.tabOrder(), expected);

        DataSource record(nullptr, QStringLiteral("record"));
        DataSource other(nullptr, QStringLiteral("other"));
        controls.bindColumns({ &record, &other });
        QCOMPARE(controls.get<DbEdit>("street")->link().dataSource(), &record);
        QCOMPARE(controls.get<DbEdit>("number")->link().dataSource(), &other);
        QCOMPARE(controls.controlOf(QStringLiteral("nr")), controls.get<DbEdit>("number"));
        QCOMPARE(controls.controlOf(QStringLiteral("cont")), nullptr);
        QCOMPARE(controls.boundColumns().size(), 2);
        QCOMPARE(controls.boundColumns().constFirst().second, QStringLiteral("str"));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, controls.bindColumns({ &record }));
    }

    void aColumnOnAControlThatShowsNoneIsRefused()
    {
        const FormCell labelled[] = { { .kind = Control::Label, .caption = "Nota", .column = "str" } };
        QWidget form;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, buildForm(&form, labelled));
    }

    void theKeysGoWhereTheTableFlagsThem()
    {
        QWidget form;
        const FormControls controls = buildForm(&form, roadCells);
        int movedOn = 0;
        int steppedBack = 0;
        controls.attachKeys(FieldKeys, { [&] { ++movedOn; }, {}, {} });
        controls.attachKeys(ButtonKeys, { {}, {}, [&] { ++steppedBack; } });
        form.show();
        QTest::keyClick(controls.get<DbEdit>("street"), Qt::Key_Return);
        QTest::keyClick(controls.get<DbEdit>("number"), Qt::Key_Return);
        QTest::keyClick(controls.get<QPushButton>("save"), Qt::Key_Escape);
        QCOMPARE(movedOn, 1);
        QCOMPARE(steppedBack, 1);
    }
};

QTEST_MAIN(TestFormBuilder)
#include "tst_formbuilder.moc"
