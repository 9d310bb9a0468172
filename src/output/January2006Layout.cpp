#include "output/FormLayouts.h"

// The January 2006 form also reports the commission due and paid for December
// 2005. It is written as changes to the monthly form so that a correction
// there carries over.

namespace itm {

namespace {

constexpr Alignment Left = Alignment::Left;
constexpr Alignment Centre = Alignment::Centre;
constexpr Alignment Right = Alignment::Right;
constexpr bool Bold = true;
constexpr bool Regular = false;

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

const QStringList& decemberNotesParagraphs()
{
    static const QStringList paragraphs = {
        text("***se completeaza numai in situatia in care angajatorul a achitat in cursul lunii decembrie 2005, total "
             "sau partial, comisionul datorat pentru luna decembrie 2005."),
        text("          Prezenta declaratie constituie titlu de creanta si instiintare de plata de la data "
             "depunerii/transmiterii la inspectoratul teritorial de munca, in conditiile legii."),
        text("          Prezenta declaratie devine titlu executoriu in conditiile legii."),
        text("          Sub sanctiunile aplicate falsului in declaratii declar ca am examinat aceasta declaratie si in "
             "conformitate cu informatiile furnizate, o declar corecta si completa."),
    };
    return paragraphs;
}

// The December 2005 table and the notes under it, in drawing order.
QList<FormElement> decemberBlock()
{
    const Section s = Section::December;
    const BoxSides bottomSide = BoxSide::Bottom;
    return {
        MakeBox(s, text("QRImage47"), 0.00, 195.53, 184.41, 29.90, AllSides, 2),
        MakeBox(s, text("QRImage48"), 0.00, 203.20, 184.41, 0.26, bottomSide, 1),
        MakeText(s, text("QRLabel41"), 2.12, 197.38, 180.18, 5.29, text("Decembrie 2005"), 11, Bold, Centre),
        MakeBox(s, text("QRImage49"), 0.00, 209.55, 184.41, 0.26, bottomSide, 1),
        MakeBox(s, text("QRImage50"), 0.00, 215.90, 184.41, 0.26, bottomSide, 1),
        MakeBox(s, text("QRImage51"), 89.96, 203.46, 0.26, 21.43, BoxSide::Left, 1),
        MakeText(s, text("QRLabel42"), 1.59, 204.26, 87.31, 4.50, text("Comision datorat"), 10, Regular, Centre),
        // The one caption of the three forms written with a diacritic.
        MakeText(s, text("QRLabel43"), 91.81, 204.26, 90.75, 4.50,
            QStringLiteral(u"din care achitat \u00een luna decembrie***"), 10, Regular, Centre),
        MakeText(s, text("QRLabel44"), 1.59, 210.61, 87.31, 4.50, text("4"), 10, Bold, Centre),
        MakeText(s, text("QRLabel45"), 91.81, 210.61, 90.75, 4.50, text("5"), 10, Bold, Centre),
        MakeMemo(s, text("QRMemo2"), 2.12, 227.28, 180.18, 29.90, decemberNotesParagraphs(), 10, Left),
        MakeField(s, text("QRDBText19"), 2.12, 218.28, 71.17, 4.50, FormDataset::Declaration, text("comdec"), 10,
            Regular, Right),
        MakeField(s, text("QRDBText20"), 92.08, 218.28, 71.17, 4.50, FormDataset::Declaration, text("comdecac"), 10,
            Regular, Right),
    };
}

} // namespace

Form CreateTrIan()
{
    Form result(CreateTrLunff(), QStringLiteral("TrIan"), Form::Kind::January2006);

    result.shiftSection(Section::Title, -8.4667);
    result.shiftSection(Section::Identification, -14.8167);
    FormElement& email = result.element(QStringLiteral("QRDBText12"));
    email.left = 111.92;
    email.top = 85.99;
    email.width = 71.44;
    email.height = 3.97;

    result.remove(QStringLiteral("QRLabel10"));
    result.remove(QStringLiteral("fal"));

    result.shiftSection(Section::Commission, -35.9833);
    for (const char* columnNumber : { "QRLabel35", "QRLabel36", "QRLabel37" })
        result.element(text(columnNumber)).bold = true;
    // The three amounts of column 3 end at 183.36.
    result.element(QStringLiteral("QRDBText17")).left = 171.71;
    result.element(QStringLiteral("QRDBText18")).left = 172.77;
    result.element(QStringLiteral("QRExpr1")).left = 160.34;

    // The notes keep the two footnotes; the closing paragraphs move under the
    // December table.
    FormElement& notes = result.element(QStringLiteral("QRMemo1"));
    notes.top = 171.45;
    notes.height = 21.70;
    notes.paragraphs = MonthlyNotesParagraphs().mid(0, 2);
    result.insertAfter(QStringLiteral("QRMemo1"), decemberBlock());

    for (const char* name : { "QRLabel46", "QRLabel47", "QRLabel48" })
        result.element(text(name)).top = 259.56;
    result.element(QStringLiteral("QRLabel49")).top = 266.17;
    result.element(QStringLiteral("QRLabel50")).left = 112.18;
    FormElement& surname = result.element(QStringLiteral("QRDBText22"));
    surname.top = 259.82;
    surname.height = 4.50;
    result.element(QStringLiteral("QRDBText23")).top = 259.82;
    result.element(QStringLiteral("QRDBText24")).top = 266.70;
    return result;
}

} // namespace itm
