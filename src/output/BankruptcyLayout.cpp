#include "output/FormLayouts.h"

// The bankruptcy form is the monthly form with its title and identification
// moved up to make room for the liquidator block. It is written as changes to
// the monthly form so that a correction there carries over.

namespace itm {

namespace {

constexpr Alignment Left = Alignment::Left;
constexpr Alignment Centre = Alignment::Centre;
constexpr Alignment Right = Alignment::Right;
constexpr Options AutoWidth = Option::AutoWidth;
constexpr Options NoWrap = Option::NoWrap;
constexpr bool Regular = false;
constexpr FormDataset Payer = FormDataset::Payer;

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

FormElement label(const char* name, double left, double top, double width, const char* caption)
{
    return MakeText(
        Section::Liquidator, text(name), left, top, width, 4.50, text(caption), 10, Regular, Left, AutoWidth);
}

FormElement field(const char* name, double left, double top, double width, const char* column, Options options,
    Alignment alignment = Left, const char* mask = "")
{
    return MakeField(Section::Liquidator, text(name), left, top, width, 4.50, Payer, text(column), 10, Regular,
        alignment, options, text(mask));
}

// Four lines, 6.35 mm apart, in drawing order.
QList<FormElement> liquidatorBlock()
{
    constexpr double line1 = 110.07;
    constexpr double line2 = 116.42;
    constexpr double line3 = 122.77;
    constexpr double line4 = 129.12;
    return {
        label("QRLabel27", 2.12, line1, 29.63, "Denumire lichidator"),
        field("QRDBText19", 33.87, line1, 15.08, "ldenumire", AutoWidth | NoWrap),
        label("QRLabel29", 101.60, line1, 8.47, "Judet"),
        MakeField(Section::Liquidator, text("QRDBText20"), 112.18, line1, 14.29, 4.50, FormDataset::LiquidatorCounty,
            text("denumire"), 10, Regular, Left, AutoWidth | NoWrap),
        label("QRLabel30", 162.98, line1, 16.93, "Localitatea"),
        field("QRDBText21", 2.12, line2, 48.95, "lloc", NoWrap),
        label("QRLabel41", 55.03, line2, 10.32, "Sector"),
        label("QRLabel42", 72.50, line2, 5.82, "Str."),
        label("QRLabel43", 108.74, line2, 4.76, "Nr."),
        label("QRLabel44", 121.18, line2, 4.50, "Bl."),
        label("QRLabel45", 141.29, line2, 5.56, "Sc."),
        label("QRLabel51", 162.98, line2, 5.56, "Ap."),
        label("QRLabel52", 2.12, line3, 5.82, "Tel."),
        label("QRLabel53", 46.57, line3, 9.53, "e-mail"),
        label("QRLabel54", 125.68, line3, 20.37, "C.N.P./C.U.I."),
        label("QRLabel55", 2.12, line4, 58.21, "Data intrarii in procedura de lichidare: "),
        label("QRLabel56", 84.67, line4, 18.26, "(zz/ll/aaaa.)"),
        MakeConditionalField(Section::Liquidator, text("lsec"), 66.67, line2, 4.50, 4.50, Payer, text("lsector"), 10,
            Regular, Centre, NoWrap),
        field("QRDBText26", 79.38, line2, 28.84, "lstr", NoWrap),
        field("QRDBText27", 169.60, line2, 14.02, "lap", NoWrap),
        field("QRDBText28", 147.90, line2, 14.02, "lscara", NoWrap),
        field("QRDBText29", 126.47, line2, 14.02, "lbloc", NoWrap),
        field("QRDBText30", 114.04, line2, 6.35, "lnr", NoWrap),
        field("QRDBText31", 9.26, line3, 36.25, "ltelefon", NoWrap),
        field("QRDBText32", 57.94, line3, 65.88, "lemail", NoWrap),
        field("QRDBText33", 147.11, line3, 36.25, "lcui", NoWrap),
        field("QRDBText34", 60.85, line4, 4.23, "lzi", {}, Right, "00"),
        MakeText(Section::Liquidator, text("QRLabel57"), 65.62, line4, 1.59, 5.03, text("/"), 10, Regular, Left),
        MakeText(Section::Liquidator, text("QRLabel58"), 72.23, line4, 1.59, 5.03, text("/"), 10, Regular, Left),
        field("QRDBText35", 67.20, line4, 4.50, "lln", {}, Centre, "00"),
        field("QRDBText36", 74.08, line4, 8.73, "lan", {}, Left, "0000"),
    };
}

} // namespace

Form CreateTrLun()
{
    Form result(CreateTrLunff(), QStringLiteral("TrLun"), Form::Kind::Bankruptcy);

    result.shiftSection(Section::Title, -8.4667);
    result.shiftSection(Section::Identification, -14.8167);
    result.element(QStringLiteral("QRLabel8")).height = 5.29;
    result.element(QStringLiteral("cui")).noWrap = true;
    FormElement& email = result.element(QStringLiteral("QRDBText12"));
    email.left = 112.18;
    email.width = 71.17;

    result.shiftSection(Section::Bankruptcy, -14.8167);
    result.element(QStringLiteral("fal")).caption = QStringLiteral("Da");
    result.insertAfter(QStringLiteral("fal"), liquidatorBlock());

    // The three amounts of column 3 end 0.53 mm further right.
    result.element(QStringLiteral("QRDBText17")).left = 170.66;
    result.element(QStringLiteral("QRDBText18")).left = 171.71;
    result.element(QStringLiteral("QRExpr1")).left = 159.28;

    result.element(QStringLiteral("QRMemo1")).height = 44.19;
    result.element(QStringLiteral("QRDBText22")).height = 4.50;
    return result;
}

} // namespace itm
