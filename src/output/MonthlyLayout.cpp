#include "output/FormLayouts.h"

// The page of the monthly declaration, element by element, in drawing order.
// The wording is that of the official paper form (including its spelling);
// the other two forms are derived from this one.

namespace itm {

namespace {

constexpr Alignment Left = Alignment::Left;
constexpr Alignment Centre = Alignment::Centre;
constexpr Alignment Right = Alignment::Right;
constexpr Options AutoWidth = Option::AutoWidth;
constexpr Options NoWrap = Option::NoWrap;
constexpr Options Transparent = Option::Transparent;
constexpr bool Bold = true;
constexpr bool Regular = false;
constexpr FormDataset Payer = FormDataset::Payer;
constexpr FormDataset Declaration = FormDataset::Declaration;
constexpr FormDataset PayerCounty = FormDataset::PayerCounty;

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

void addHeader(Form& form)
{
    const Section s = Section::Header;
    form.append(MakeBox(s, text("QRImage1"), 2.12, 1.59, 74.35, 23.55, AllSides, 2));
    form.append(MakeBox(s, text("QRImage2"), 105.83, 1.59, 74.35, 23.55, AllSides, 2));
    form.append(
        MakeText(s, text("QRLabel1"), 4.23, 13.76, 70.11, 4.50, text("(denumire angajator)"), 10, Regular, Centre));
    form.append(MakeText(s, text("QRLabel2"), 4.23, 19.05, 70.11, 5.03,
        text("Nr. ..../data ..........................."), 11, Bold, Centre));
    form.append(MakeText(
        s, text("QRLabel3"), 107.95, 3.70, 70.11, 5.29, text("Inspectoratul Teritorial de Munca"), 12, Bold, Centre));
    form.append(
        MakeField(s, text("QRDBText1"), 107.95, 10.05, 70.11, 5.29, PayerCounty, text("denumire"), 12, Bold, Centre));
    form.append(MakeText(s, text("QRLabel4"), 107.95, 16.40, 70.11, 5.29, text("Nr_._ . _._._._ . _._ . _._._._._._"),
        12, Bold, Centre));
    form.append(MakeFilledText(s, text("densus"), 4.23, 2.12, 70.11, 10.58, 10, Regular, Centre, Transparent));
}

void addTitle(Form& form)
{
    const Section s = Section::Title;
    form.append(MakeFilledText(s, text("initiala"), 135.47, 34.40, 13.23, 5.29, 12, Bold, Left, AutoWidth));
    form.append(MakeText(s, text("QRLabel5"), 0.00, 39.16, 184.41, 5.29, text("DECLARATIE"), 12, Bold, Centre));
    form.append(MakeText(s, text("QRLabel6"), 0.00, 44.98, 184.41, 5.29,
        text("fiscala privind stabilirea comisionului"), 12, Bold, Centre));
    form.append(MakeFilledText(s, text("luna"), 0.00, 49.74, 184.41, 5.29, 12, Bold, Centre));
}

void addIdentification(Form& form)
{
    const Section s = Section::Identification;
    const BoxSides leftSide = BoxSide::Left;
    const BoxSides bottomSide = BoxSide::Bottom;
    // The caption goes first: the frame's top side is then drawn over the
    // caption's white background and stays visible.
    form.append(MakeText(s, text("QRLabel7"), 2.12, 65.88, 61.91, 5.29,
        text("A. Date de indentificare ale angajatorului"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage3"), 0.00, 70.38, 184.41, 43.13, AllSides, 2));
    form.append(MakeBox(s, text("QRImage4"), 0.00, 70.11, 184.41, 6.88, bottomSide, 1));
    form.append(MakeText(s, text("QRLabel8"), 2.12, 71.44, 39.42, 4.50, text("Cod de identificare fiscala"), 10,
        Regular, Left, AutoWidth | Transparent));
    form.append(MakeBox(s, text("QRImage5"), 55.03, 70.64, 0.26, 6.35, leftSide, 1));
    form.append(MakeField(s, text("cui"), 59.27, 70.91, 123.03, 5.03, Payer, text("cui"), 11, Bold, Left, Transparent));
    form.append(MakeBox(s, text("QRImage6"), 0.00, 76.73, 184.41, 10.32, bottomSide, 1));
    form.append(MakeText(s, text("QRLabel9"), 2.12, 77.52, 29.90, 8.73, text("Denumire/     Nume si Prenume"), 10,
        Regular, Left, Transparent));
    form.append(MakeBox(s, text("QRImage7"), 33.60, 76.99, 0.26, 9.79, leftSide, 1));
    form.append(MakeFilledText(s, text("den"), 35.19, 77.79, 147.11, 8.73, 10, Regular, Left, Transparent));
    form.append(MakeBox(s, text("QRImage8"), 0.00, 86.78, 184.41, 6.88, bottomSide, 1));
    form.append(MakeBox(s, text("QRImage9"), 13.23, 87.05, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(
        s, text("QRLabel11"), 2.38, 88.11, 8.47, 4.50, text("Judet"), 10, Regular, Left, AutoWidth | Transparent));
    form.append(MakeBox(s, text("QRImage10"), 66.15, 87.05, 0.26, 6.35, leftSide, 1));
    form.append(
        MakeText(s, text("QRLabel12"), 68.00, 87.84, 15.08, 4.50, text("Localitate"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage11"), 85.20, 87.05, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage12"), 159.54, 87.05, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage13"), 174.10, 87.05, 0.26, 6.35, leftSide, 1));
    form.append(
        MakeText(s, text("QRLabel13"), 160.87, 88.11, 10.32, 4.50, text("Sector"), 10, Regular, Left, AutoWidth));
    form.append(MakeField(
        s, text("QRDBText3"), 14.55, 88.11, 51.06, 4.50, PayerCounty, text("denumire"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText4"), 86.25, 88.11, 72.50, 4.50, Payer, text("loc"), 10, Regular, Left, NoWrap));
    form.append(MakeBox(s, text("QRImage14"), 0.00, 93.13, 184.41, 6.88, bottomSide, 1));
    form.append(MakeBox(s, text("QRImage15"), 14.82, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel14"), 1.85, 94.46, 10.32, 4.50, text("Strada"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage16"), 103.72, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel15"), 97.10, 94.46, 4.76, 4.50, text("Nr."), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage17"), 95.25, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage18"), 126.74, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel16"), 120.39, 94.46, 4.50, 4.50, text("Bl."), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage19"), 118.53, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage20"), 139.70, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel17"), 141.55, 94.46, 5.56, 4.50, text("Sc."), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage21"), 148.17, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage22"), 162.98, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel18"), 164.84, 94.46, 5.56, 4.50, text("Ap."), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage23"), 171.45, 93.40, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage24"), 0.00, 99.48, 184.41, 6.88, bottomSide, 1));
    form.append(
        MakeText(s, text("QRLabel19"), 1.59, 100.54, 16.67, 4.50, text("Cod postal"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage25"), 20.11, 99.75, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage26"), 64.56, 99.75, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel20"), 56.36, 100.54, 5.82, 4.50, text("Tel."), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage27"), 53.98, 99.75, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage28"), 97.37, 99.75, 0.26, 6.35, leftSide, 1));
    form.append(
        MakeText(s, text("QRLabel21"), 99.75, 100.54, 10.05, 4.50, text("E-mail"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage29"), 111.12, 99.75, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage30"), 15.61, 106.36, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel22"), 2.12, 107.16, 10.05, 4.50, text("Banca"), 10, Regular, Left, AutoWidth));
    form.append(
        MakeText(s, text("QRLabel23"), 91.02, 107.16, 16.40, 4.50, text("Cont IBAN"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage31"), 108.74, 106.36, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage32"), 89.69, 106.36, 0.26, 6.35, leftSide, 1));
    form.append(MakeConditionalField(
        s, text("sec"), 175.42, 88.11, 7.67, 4.50, Payer, text("sector"), 10, Regular, Centre, NoWrap));
    form.append(
        MakeField(s, text("QRDBText5"), 16.14, 94.19, 77.26, 4.50, Payer, text("str"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText6"), 104.78, 94.19, 12.96, 4.50, Payer, text("nr"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText7"), 128.06, 94.19, 10.85, 4.50, Payer, text("bloc"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText8"), 149.49, 94.19, 12.44, 4.50, Payer, text("scara"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText9"), 172.77, 94.19, 10.32, 4.50, Payer, text("ap"), 10, Regular, Left, NoWrap));
    form.append(MakeField(
        s, text("QRDBText10"), 21.96, 100.54, 30.96, 4.50, Payer, text("codpostal"), 10, Regular, Left, NoWrap));
    form.append(MakeField(
        s, text("QRDBText11"), 66.41, 100.54, 29.90, 4.50, Payer, text("telefon"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText12"), 112.98, 100.54, 69.32, 4.50, Payer, text("email"), 8, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText13"), 17.20, 107.42, 71.17, 4.50, Payer, text("banca"), 10, Regular, Left, NoWrap));
    form.append(
        MakeField(s, text("QRDBText14"), 110.07, 107.16, 72.23, 4.50, Payer, text("cont"), 10, Regular, Left, NoWrap));
}

void addBankruptcyLine(Form& form)
{
    const Section s = Section::Bankruptcy;
    form.append(MakeText(
        s, text("QRLabel10"), 2.12, 118.53, 28.31, 4.50, text("Stare de faliment: "), 10, Regular, Left, AutoWidth));
    form.append(MakeText(s, text("fal"), 31.75, 118.53, 4.50, 4.50, text("Nu"), 10, Regular, Left, AutoWidth));
}

void addCommission(Form& form)
{
    const Section s = Section::Commission;
    const BoxSides leftSide = BoxSide::Left;
    const BoxSides bottomSide = BoxSide::Bottom;
    form.append(MakeText(s, text("QRLabel24"), 2.12, 139.96, 52.65, 5.29, text("B. Date privind comisionul datorat:"),
        10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage33"), 2.12, 148.17, 82.81, 6.61, AllSides, 2));
    form.append(MakeBox(s, text("QRImage34"), 34.13, 148.43, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(s, text("QRLabel25"), 3.70, 149.22, 26.99, 4.50, text("Procent comision"), 10, Regular, Left,
        AutoWidth | Transparent));
    form.append(MakeText(
        s, text("QRLabel26"), 35.45, 149.22, 10.05, 4.50, text("0,75%"), 10, Regular, Left, AutoWidth | Transparent));
    form.append(MakeBox(s, text("QRImage35"), 47.36, 148.43, 0.26, 6.35, leftSide, 1));
    form.append(MakeBox(s, text("QRImage36"), 60.06, 148.43, 0.26, 6.35, leftSide, 1));
    form.append(MakeFilledText(s, text("c75"), 48.15, 148.96, 10.05, 5.29, 12, Bold, Centre, Transparent));
    form.append(MakeBox(s, text("QRImage37"), 72.76, 148.43, 0.26, 6.35, leftSide, 1));
    form.append(MakeText(
        s, text("QRLabel28"), 60.85, 149.22, 10.05, 4.50, text("0,25%"), 10, Regular, Left, AutoWidth | Transparent));
    form.append(MakeFilledText(s, text("c25"), 73.55, 148.96, 10.05, 5.29, 12, Bold, Centre, Transparent));
    form.append(MakeBox(s, text("QRImage38"), 0.00, 158.75, 184.41, 45.24, AllSides, 2));
    form.append(MakeBox(s, text("QRImage39"), 0.00, 166.42, 184.41, 0.26, bottomSide, 1));
    form.append(MakeFilledText(s, text("lunajos"), 2.12, 160.60, 180.18, 5.03, 11, Bold, Centre));
    form.append(MakeBox(s, text("QRImage40"), 0.00, 177.01, 184.41, 0.26, bottomSide, 1));
    form.append(MakeText(
        s, text("QRLabel31"), 5.56, 169.86, 19.05, 4.50, text("Nr. salariati*"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage41"), 30.69, 166.69, 0.26, 36.78, leftSide, 1));
    form.append(MakeText(
        s, text("QRLabel32"), 164.04, 152.40, 19.58, 4.50, text(" - lei (RON) -"), 10, Regular, Left, AutoWidth));
    form.append(MakeText(s, text("QRLabel33"), 33.07, 167.22, 26.46, 9.53, text("Fond lunar de salarii realizat**"), 10,
        Regular, Centre));
    form.append(MakeBox(s, text("QRImage42"), 62.44, 166.69, 0.26, 37.04, leftSide, 1));
    form.append(MakeText(s, text("QRLabel34"), 64.82, 169.86, 117.47, 4.50, text("Comision"), 10, Regular, Centre));
    form.append(MakeBox(s, text("QRImage43"), 0.00, 182.56, 184.41, 0.26, bottomSide, 1));
    form.append(MakeText(s, text("QRLabel35"), 2.91, 177.80, 24.87, 4.50, text("1"), 10, Regular, Centre));
    form.append(MakeText(s, text("QRLabel36"), 34.66, 177.80, 24.87, 4.50, text("2"), 10, Regular, Centre));
    form.append(MakeText(s, text("QRLabel37"), 64.29, 177.80, 118.00, 4.50, text("3"), 10, Regular, Centre));
    form.append(MakeBox(s, text("QRImage44"), 62.44, 188.12, 121.97, 0.26, bottomSide, 1));
    form.append(
        MakeText(s, text("QRLabel38"), 64.29, 183.36, 15.35, 4.50, text("a. Datorat"), 10, Regular, Left, AutoWidth));
    form.append(MakeText(
        s, text("QRLabel39"), 64.29, 188.65, 28.31, 4.50, text("b. Din care achitat"), 10, Regular, Left, AutoWidth));
    form.append(MakeBox(s, text("QRImage45"), 62.44, 193.41, 121.97, 0.26, bottomSide, 1));
    form.append(MakeText(s, text("QRLabel40"), 63.50, 194.20, 57.41, 8.73,
        text("c. Diferenta de plata/de recuperat de catre angajator, (a-b)"), 10, Regular, Left));
    form.append(MakeBox(s, text("QRImage46"), 130.18, 182.83, 0.26, 20.90, leftSide, 1));
    form.append(MakeField(
        s, text("QRDBText15"), 22.23, 190.50, 7.67, 4.50, Declaration, text("nrsal"), 10, Regular, Right, AutoWidth));
    form.append(MakeField(s, text("QRDBText16"), 45.51, 190.50, 15.61, 5.29, Declaration, text("fondlunsal"), 10,
        Regular, Right, AutoWidth));
    form.append(MakeField(s, text("QRDBText17"), 170.13, 183.36, 11.64, 4.50, Declaration, text("comdat"), 10, Regular,
        Right, AutoWidth | Transparent));
    form.append(MakeField(s, text("QRDBText18"), 171.19, 188.65, 10.58, 4.50, Declaration, text("comac"), 10, Regular,
        Right, AutoWidth | Transparent));
    form.append(MakeExpression(s, text("QRExpr1"), 158.75, 196.06, 23.02, 4.50, text("comdat-comac"), 10, Regular,
        Right, AutoWidth | Transparent));
}

void addNotes(Form& form)
{
    form.append(
        MakeMemo(Section::Notes, text("QRMemo1"), 2.12, 207.43, 182.30, 43.39, MonthlyNotesParagraphs(), 10, Left));
}

void addSignature(Form& form)
{
    const Section s = Section::Signature;
    form.append(
        MakeText(s, text("QRLabel46"), 2.12, 253.21, 11.91, 4.50, text("Numele"), 10, Regular, Left, AutoWidth));
    form.append(
        MakeText(s, text("QRLabel47"), 65.62, 253.21, 16.67, 4.50, text("Prenumele"), 10, Regular, Left, AutoWidth));
    form.append(MakeText(s, text("QRLabel48"), 154.52, 253.21, 26.46, 4.50, text("Data ................."), 10, Regular,
        Left, AutoWidth));
    form.append(MakeText(
        s, text("QRLabel49"), 2.12, 259.82, 28.31, 4.50, text("Functia / Calitatea"), 10, Regular, Left, AutoWidth));
    form.append(MakeText(s, text("QRLabel50"), 116.42, 268.29, 35.72, 4.50, text("Semnatura si stampila "), 10, Regular,
        Left, AutoWidth));
    form.append(MakeField(
        s, text("QRDBText22"), 16.40, 253.21, 13.49, 5.29, Payer, text("numerep"), 10, Regular, Left, AutoWidth));
    form.append(MakeField(
        s, text("QRDBText23"), 84.14, 253.21, 18.26, 4.50, Payer, text("prenumerep"), 10, Regular, Left, AutoWidth));
    form.append(MakeField(
        s, text("QRDBText24"), 31.75, 259.82, 11.38, 4.50, Payer, text("funcrep"), 10, Regular, Left, AutoWidth));
}

} // namespace

const QStringList& MonthlyNotesParagraphs()
{
    static const QStringList paragraphs = {
        text(
            "*se completeaza cu numarul de salariati ai angajatorului ale caror contracte individuale de munca sunt in "
            "vigoare in ultima zi a lunii pentru care se depune declaratia fiscala. Numarul de salariati va cuprinde "
            "si "
            "salariatii ale caror contracte individuale de munca sunt suspendate in ultima zi a lunii pentru care se "
            "depune declaratia fiscala."),
        text(
            "** se completeaza cu suma reprezentand cheltuiala cu salariile din luna pentru care se depune declaratia, "
            "inclusiv concediile medicale platite din fondul de salarii al angajatorului, astfel cum rezulta din "
            "statul "
            "de plata al acestuia."),
        text("          Prezenta declaratie constituie titlu de creanta si instiintare de plata de la data "
             "depunerii/transmiterii la inspectoratul teritorial de munca, in conditiile legii."),
        text("          Prezenta declaratie devine titlu executoriu in conditiile legii."),
        text("          Sub sanctiunile aplicate falsului in declaratii declar ca am examinat aceasta declaratie si in "
             "conformitate cu informatiile furnizate, o declar corecta si completa."),
        QString(),
    };
    return paragraphs;
}

Form CreateTrLunff()
{
    Form form(QStringLiteral("TrLunff"), Form::Kind::Monthly);
    addHeader(form);
    addTitle(form);
    addIdentification(form);
    addBankruptcyLine(form);
    addCommission(form);
    addNotes(form);
    addSignature(form);
    return form;
}

} // namespace itm
