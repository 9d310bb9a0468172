#include "output/FormFill.h"

#include "declaration/Period.h"
#include "output/ValueDisplay.h"
#include "payers/LegalForms.h"
#include "store/RecordReader.h"

namespace itm {

PrintedFormChoice ChoosePrintedForm(const RecordReader& declaration, const RecordReader& payer)
{
    // The page must show what the declaration file declares: an amount that
    // is no whole number stops the print, as it stops the line.
    for (const char16_t* column :
        { u"rectificativ", u"com25", u"nrsal", u"fondlunsal", u"comdat", u"comac", u"comdec", u"comdecac" })
        declaration.fieldWholeNumber(QString::fromUtf16(column));
    if (IsJanuary2006(
            declaration.fieldWholeNumber(QStringLiteral("ln")), declaration.fieldWholeNumber(QStringLiteral("an"))))
        return PrintedFormChoice::January2006;
    if (payer.fieldWholeNumber(QStringLiteral("faliment")) != 0)
        return PrintedFormChoice::Bankruptcy;
    return PrintedFormChoice::Monthly;
}

namespace {

// "Is not 0" for a column that the fill step tests: a value that is no whole
// number is not 0 either; a missing record or column counts as 0.
bool isNonZero(const RecordReader* record, const QString& column)
{
    const QVariant value = ReadValue(record, column);
    if (!value.isValid() || value.isNull())
        return false;
    const auto number = ReadWholeNumber(record, column);
    return !number || *number != 0;
}

QString monthName(const RecordReader* declaration)
{
    const auto month = ReadWholeNumber(declaration, QStringLiteral("ln"));
    if (!month || *month < 1 || *month > 12)
        return QString();
    return MonthName(int(*month));
}

QString yearText(const RecordReader* declaration)
{
    return DisplayText(ReadValue(declaration, QStringLiteral("an")), ValueType::Integer);
}

void setCaption(Form& form, const char* name, const QString& caption)
{
    if (FormElement* element = form.find(QString::fromLatin1(name)))
        element->caption = caption;
}

void setPrinted(Form& form, const char* name, bool printed)
{
    if (FormElement* element = form.find(QString::fromLatin1(name)))
        element->printed = printed;
}

void fillRate(Form& form, const FormData& data)
{
    const bool quarterPercent = isNonZero(data.declaration, QStringLiteral("com25"));
    setCaption(form, "c25", quarterPercent ? QStringLiteral("X") : QString());
    setCaption(form, "c75", quarterPercent ? QString() : QStringLiteral("X"));
}

void fillTitleMonth(Form& form, const FormData& data)
{
    setCaption(form, "luna",
        QStringLiteral("luna ") + monthName(data.declaration) + QStringLiteral(" anul ") + yearText(data.declaration));
}

void fillTableMonth(Form& form, const FormData& data)
{
    setCaption(form, "lunajos", monthName(data.declaration) + u' ' + yearText(data.declaration));
}

void fillSector(Form& form, const FormData& data)
{
    setPrinted(form, "sec", isNonZero(data.payer, QStringLiteral("sector")));
}

void fillLiquidatorSector(Form& form, const FormData& data)
{
    setPrinted(form, "lsec", isNonZero(data.payer, QStringLiteral("lsector")));
}

void fillInitial(Form& form, const FormData& data)
{
    const bool corrective = isNonZero(data.declaration, QStringLiteral("rectificativ"));
    setCaption(form, "initiala", corrective ? QStringLiteral("Rectificativa") : QStringLiteral("Initiala"));
}

void fillName(Form& form, const FormData& data)
{
    const auto prefix = ReadWholeNumber(data.payer, QStringLiteral("prefix"));
    const auto suffix = ReadWholeNumber(data.payer, QStringLiteral("sufix"));
    if (!prefix || !suffix)
        return;
    const QString bareName = DisplayText(ReadValue(data.payer, QStringLiteral("denumire")), ValueType::Text);
    const auto name = ComposedLegalName(*prefix, bareName, *suffix);
    if (!name)
        return;
    setCaption(form, "densus", *name);
    setCaption(form, "den", *name);
}

} // namespace

void QRBand1BeforePrint(Form& form, const FormData& data)
{
    fillRate(form, data);
    if (form.kind() == Form::Kind::January2006) {
        fillInitial(form, data);
        fillTitleMonth(form, data);
        fillTableMonth(form, data);
        fillSector(form, data);
    } else {
        fillTitleMonth(form, data);
        fillTableMonth(form, data);
        fillSector(form, data);
        if (form.kind() == Form::Kind::Bankruptcy)
            fillLiquidatorSector(form, data);
        fillInitial(form, data);
    }
    fillName(form, data);
}

} // namespace itm
