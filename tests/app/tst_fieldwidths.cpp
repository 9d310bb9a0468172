// Each field of the main window is wide enough for its longest usual
// content, and stays inside the window: in the later states the payer's
// fields are disabled, so a field too narrow could never be scrolled back.
#include "declaration/DeclarationPanel.h"
#include "declaration/PeriodPanel.h"
#include "output/OutputPanel.h"
#include "payers/PayerPanel.h"
#include "support/GuiTestCase.h"
#include "support/MainWindowFixture.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

using namespace itm;
using namespace itm::test;

namespace {

// The width an edit gives its text: its own, less the frame, the text
// margins and the edit's margin of two pixels on either side.
int textWidth(const QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2;
}

void addField(const char* row, const char* panel, const char* field, const char* content)
{
    QTest::newRow(row) << QString::fromLatin1(panel) << QString::fromLatin1(field) << QString::fromLatin1(content);
}

} // namespace

class TestFieldWidths : public GuiTestCase
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        m_f = std::make_unique<MainWindowFixture>();
        // Every panel as the declaration's state shows them.
        for (QWidget* panel : std::initializer_list<QWidget*> {
                 m_f->window->dcgb, m_f->window->PanelLuna, m_f->window->ddgb, m_f->window->butpan })
            panel->show();
        // Laid out by the layout requests the showing posts.
        MainWindowFixture::settle();
    }

    void cleanupTestCase() { m_f.reset(); }

    void fieldsShowTheirLongestUsualContent_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("content");
        addField("payer code", "pancui", "cui", "1234567890123");
        addField("county", "dcgb", "jud", "BISTRITA-NASAUD");
        addField("locality", "dcgb", "loc", "DROBETA-TURNU SEVERIN");
        addField("sector", "dcgb", "sector", "6");
        addField("street", "dcgb", "str", "BULEVARDUL NICOLAE TITULESCU");
        addField("number", "dcgb", "snr", "123-125A");
        addField("block", "dcgb", "DBEdit1", "M12BIS");
        addField("staircase", "dcgb", "DBEdit2", "B2");
        addField("flat", "dcgb", "DBEdit6", "123");
        addField("postal code", "dcgb", "DBEdit7", "200345");
        addField("telephone", "dcgb", "DBEdit8", "+40 251 123 456");
        addField("bank", "dcgb", "DBEdit10", "BANCA TRANSILVANIA");
        addField("IBAN", "dcgb", "DBEdit11", "RO49AAAA1B31007593840000");
        addField("e-mail", "dcgb", "DBEdit9", "contabilitate@firma-mea.ro");
        addField("representative's name", "dcgb", "nrep", "CONSTANTINESCU");
        addField("representative's first name", "dcgb", "prep", "ALEXANDRU-MIHAI");
        addField("representative's office", "dcgb", "frep", "ADMINISTRATOR");
        addField("month", "PanelLuna", "MaskEdit1", "12");
        addField("year", "PanelLuna", "MaskEdit2", "2007");
        addField("employees", "ddgb", "nrsal", "99999");
        addField("salary fund", "ddgb", "DBEdit12", "9999999999");
        addField("commission", "ddgb", "DBEdit13", "75000000");
        addField("paid", "ddgb", "achit", "9999999999");
        addField("December 2005 commission", "ddgb", "DBEdit14", "75000000");
        addField("December 2005 paid", "ddgb", "DBEdit19", "75000000");
        addField("liquidator", "lgb", "denl", "CASA DE INSOLVENTA CONSULT SPRL");
        addField("liquidator's county", "lgb", "judl", "BISTRITA-NASAUD");
        addField("liquidator's locality", "lgb", "locl", "RAMNICU VALCEA");
        addField("liquidator's sector", "lgb", "lsec", "6");
        addField("liquidator's street", "lgb", "lstr", "CALEA VICTORIEI");
        addField("liquidator's number", "lgb", "DBEdit44", "123A");
        addField("liquidator's block", "lgb", "DBEdit45", "M12");
        addField("liquidator's staircase", "lgb", "DBEdit46", "B2");
        addField("liquidator's flat", "lgb", "DBEdit47", "123");
        addField("liquidator's postal code", "lgb", "DBEdit48", "200345");
        addField("liquidator's telephone", "lgb", "DBEdit49", "0251 123 456");
        addField("liquidator's e-mail", "lgb", "DBEdit21", "office@lichidator.ro");
        addField("liquidator's code", "lgb", "cuil", "1234567890123");
        addField("liquidation day", "lgb", "zi", "31");
        addField("liquidation month", "lgb", "luna", "12");
        addField("liquidation year", "lgb", "an", "2007");
    }

    void fieldsShowTheirLongestUsualContent()
    {
        QFETCH(QString, panel);
        QFETCH(QString, field);
        QFETCH(QString, content);
        const auto* holder = m_f->window->findChild<QWidget*>(panel);
        QVERIFY(holder);
        const auto* edit = holder->findChild<QLineEdit*>(field);
        QVERIFY(edit);
        const int needed = edit->fontMetrics().horizontalAdvance(content);
        QVERIFY2(textWidth(edit) > needed,
            qPrintable(QStringLiteral("%1 px for %2 px of text").arg(textWidth(edit)).arg(needed)));
        const QRect inWindow(edit->mapTo(m_f->window.get(), QPoint(0, 0)), edit->size());
        QVERIFY(m_f->window->rect().contains(inWindow));
    }

private:
    std::unique_ptr<MainWindowFixture> m_f;
};

QTEST_MAIN(TestFieldWidths)
#include "tst_fieldwidths.moc"
