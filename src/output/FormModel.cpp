#include "output/FormModel.h"

#include "store/Errors.h"
#include "store/RegisterColumns.h"

#include <algorithm>

namespace itm {

Form::Form(QString className, Kind kind)
    : m_className(std::move(className))
    , m_kind(kind)
{
}

Form::Form(const Form& base, QString className, Kind kind)
    : m_className(std::move(className))
    , m_kind(kind)
    , m_elements(base.m_elements)
{
}

qsizetype Form::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_elements.size(); ++i) {
        if (m_elements.at(i).name == name)
            return i;
    }
    return -1;
}

FormElement* Form::find(const QString& name)
{
    const qsizetype index = indexOf(name);
    return index < 0 ? nullptr : &m_elements[index];
}

const FormElement* Form::find(const QString& name) const
{
    const qsizetype index = indexOf(name);
    return index < 0 ? nullptr : &m_elements.at(index);
}

FormElement& Form::element(const QString& name)
{
    if (FormElement* found = find(name))
        return *found;
    throw Error(QStringLiteral("%1 has no element %2").arg(m_className, name));
}

const FormElement& Form::element(const QString& name) const
{
    if (const FormElement* found = find(name))
        return *found;
    throw Error(QStringLiteral("%1 has no element %2").arg(m_className, name));
}

void Form::append(FormElement element)
{
    if (indexOf(element.name) >= 0)
        throw Error(QStringLiteral("%1 already has an element %2").arg(m_className, element.name));
    m_elements.append(std::move(element));
}

void Form::insertAfter(const QString& name, const QList<FormElement>& elements)
{
    qsizetype index = indexOf(name);
    if (index < 0)
        throw Error(QStringLiteral("%1 has no element %2").arg(m_className, name));
    for (const FormElement& element : elements) {
        if (indexOf(element.name) >= 0)
            throw Error(QStringLiteral("%1 already has an element %2").arg(m_className, element.name));
        m_elements.insert(++index, element);
    }
}

void Form::remove(const QString& name)
{
    const qsizetype index = indexOf(name);
    if (index < 0)
        throw Error(QStringLiteral("%1 has no element %2").arg(m_className, name));
    m_elements.removeAt(index);
}

void Form::shiftSection(Section section, double delta)
{
    for (FormElement& element : m_elements) {
        if (element.section == section)
            element.top += delta;
    }
}

qsizetype Form::countInSection(Section section) const
{
    return std::count_if(m_elements.cbegin(), m_elements.cend(),
        [section](const FormElement& element) { return element.section == section; });
}

namespace {

FormElement makeElement(
    ElementKind kind, Section section, const QString& name, double left, double top, double width, double height)
{
    FormElement element;
    element.kind = kind;
    element.section = section;
    element.name = name;
    element.left = left;
    element.top = top;
    element.width = width;
    element.height = height;
    return element;
}

void setText(FormElement& element, int fontSize, bool bold, Alignment alignment, Options options)
{
    element.fontSize = fontSize;
    element.bold = bold;
    element.alignment = alignment;
    element.autoWidth = options.testFlag(Option::AutoWidth);
    element.noWrap = options.testFlag(Option::NoWrap);
    element.transparent = options.testFlag(Option::Transparent);
}

} // namespace

FormElement MakeBox(Section section, const QString& name, double left, double top, double width, double height,
    BoxSides sides, double barWidthPt)
{
    FormElement element = makeElement(ElementKind::Box, section, name, left, top, width, height);
    element.sides = sides;
    element.barWidthPt = barWidthPt;
    return element;
}

FormElement MakeText(Section section, const QString& name, double left, double top, double width, double height,
    const QString& caption, int fontSize, bool bold, Alignment alignment, Options options)
{
    FormElement element = makeElement(ElementKind::Text, section, name, left, top, width, height);
    element.caption = caption;
    setText(element, fontSize, bold, alignment, options);
    return element;
}

FormElement MakeFilledText(Section section, const QString& name, double left, double top, double width, double height,
    int fontSize, bool bold, Alignment alignment, Options options)
{
    FormElement element = makeElement(ElementKind::FilledText, section, name, left, top, width, height);
    element.caption = name;
    setText(element, fontSize, bold, alignment, options);
    return element;
}

FormElement MakeField(Section section, const QString& name, double left, double top, double width, double height,
    FormDataset dataset, const QString& column, int fontSize, bool bold, Alignment alignment, Options options,
    const QString& mask)
{
    FormElement element = makeElement(ElementKind::Field, section, name, left, top, width, height);
    element.dataset = dataset;
    element.column = column;
    element.valueType = ColumnValueType(column);
    element.mask = mask;
    setText(element, fontSize, bold, alignment, options);
    return element;
}

FormElement MakeConditionalField(Section section, const QString& name, double left, double top, double width,
    double height, FormDataset dataset, const QString& column, int fontSize, bool bold, Alignment alignment,
    Options options)
{
    FormElement element
        = MakeField(section, name, left, top, width, height, dataset, column, fontSize, bold, alignment, options);
    element.kind = ElementKind::ConditionalField;
    return element;
}

FormElement MakeMemo(Section section, const QString& name, double left, double top, double width, double height,
    const QStringList& paragraphs, int fontSize, Alignment alignment, Options options)
{
    FormElement element = makeElement(ElementKind::Memo, section, name, left, top, width, height);
    element.paragraphs = paragraphs;
    setText(element, fontSize, false, alignment, options);
    return element;
}

FormElement MakeExpression(Section section, const QString& name, double left, double top, double width, double height,
    const QString& expression, int fontSize, bool bold, Alignment alignment, Options options)
{
    FormElement element = makeElement(ElementKind::Expression, section, name, left, top, width, height);
    element.dataset = FormDataset::Declaration;
    element.expression = expression;
    element.valueType = ValueType::Integer;
    setText(element, fontSize, bold, alignment, options);
    return element;
}

ValueType ColumnValueType(const QString& column)
{
    // The salary fund is stored in a real-number column but is a whole
    // amount, printed as the declaration file writes it.
    if (column == QLatin1String("fondlunsal"))
        return ValueType::Integer;
    return IsIntegerColumn(column) ? ValueType::Integer : ValueType::Text;
}

} // namespace itm
