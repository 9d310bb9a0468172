#pragma once

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

namespace itm {

// What an element of a printed form draws.
enum class ElementKind
{
    Box, // frame sides only
    Text, // fixed caption
    FilledText, // caption set by the fill step before each print
    Field, // display text of one column of a dataset's current record
    ConditionalField, // a field that the fill step prints or leaves out
    Memo, // fixed paragraphs
    Expression, // arithmetic over columns of the declaration record
};

enum class Alignment
{
    Left,
    Centre,
    Right
};

enum class BoxSide
{
    Left = 0x1,
    Top = 0x2,
    Right = 0x4,
    Bottom = 0x8
};
Q_DECLARE_FLAGS(BoxSides, BoxSide)
Q_DECLARE_OPERATORS_FOR_FLAGS(BoxSides)
constexpr BoxSides AllSides = BoxSides(0xF);

// The records a printed form reads while it is filled and laid out.
enum class FormDataset
{
    Declaration, // qryDeclaratii
    Payer, // qryFirme
    PayerCounty, // qryJudete
    LiquidatorCounty, // qryJudL
};

// How a column's value is shown: numbers follow their own display rules and
// masks, texts are printed as stored.
enum class ValueType
{
    Text,
    Integer,
    Real
};

// Groups of elements that move together between the layouts of the three forms.
enum class Section
{
    Header,
    Title,
    Identification,
    Bankruptcy,
    Liquidator,
    Commission,
    Notes,
    December,
    Signature
};

// One element of a form. Coordinates are millimetres from the band origin.
struct FormElement
{
    QString name;
    ElementKind kind = ElementKind::Text;
    Section section = Section::Header;
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    // Box
    BoxSides sides;
    double barWidthPt = 0;

    // Text and filled text: the caption; memo: its paragraphs.
    QString caption;
    QStringList paragraphs;

    // Field and conditional field.
    FormDataset dataset = FormDataset::Payer;
    QString column;
    ValueType valueType = ValueType::Text;
    QString mask; // "", "00" or "0000"

    // Expression: columns of the declaration record, "a-b".
    QString expression;

    // Text attributes (every kind but Box). Font is Arial.
    int fontSize = 10;
    bool bold = false;
    Alignment alignment = Alignment::Left;
    bool autoWidth = false;
    bool noWrap = false;
    bool transparent = false;

    // Cleared by the fill step for a conditional field it leaves out.
    bool printed = true;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool isBox() const { return kind == ElementKind::Box; }
};

// A form definition: its elements in drawing order, found by name.
class Form
{
public:
    enum class Kind
    {
        Monthly,
        Bankruptcy,
        January2006
    };

    Form(QString className, Kind kind);
    // A form that starts as a copy of the elements of base.
    Form(const Form& base, QString className, Kind kind);

    const QString& className() const { return m_className; }
    Kind kind() const { return m_kind; }

    const QList<FormElement>& elements() const { return m_elements; }
    qsizetype size() const { return m_elements.size(); }

    // nullptr when the form has no element of that name.
    FormElement* find(const QString& name);
    const FormElement* find(const QString& name) const;
    // The element of that name; a missing one is a programming error (itm::Error).
    FormElement& element(const QString& name);
    const FormElement& element(const QString& name) const;

    void append(FormElement element);
    // Inserts the elements, in their order, right after the named element.
    void insertAfter(const QString& name, const QList<FormElement>& elements);
    void remove(const QString& name);
    // Moves every element of a section down by delta millimetres (up when negative).
    void shiftSection(Section section, double delta);
    qsizetype countInSection(Section section) const;

private:
    qsizetype indexOf(const QString& name) const;

    QString m_className;
    Kind m_kind;
    QList<FormElement> m_elements;
};

// Text attributes that the layout tables list under "Other".
enum class Option
{
    AutoWidth = 0x1,
    NoWrap = 0x2,
    Transparent = 0x4
};
Q_DECLARE_FLAGS(Options, Option)
Q_DECLARE_OPERATORS_FOR_FLAGS(Options)

// Builders used by the layout definitions; each returns a complete element of
// the given section.
FormElement MakeBox(Section section, const QString& name, double left, double top, double width, double height,
    BoxSides sides, double barWidthPt);
FormElement MakeText(Section section, const QString& name, double left, double top, double width, double height,
    const QString& caption, int fontSize, bool bold, Alignment alignment, Options options = {});
// The caption starts as the element's name, what a form shows until its
// fill step has written the element.
FormElement MakeFilledText(Section section, const QString& name, double left, double top, double width, double height,
    int fontSize, bool bold, Alignment alignment, Options options = {});
FormElement MakeField(Section section, const QString& name, double left, double top, double width, double height,
    FormDataset dataset, const QString& column, int fontSize, bool bold, Alignment alignment, Options options = {},
    const QString& mask = QString());
FormElement MakeConditionalField(Section section, const QString& name, double left, double top, double width,
    double height, FormDataset dataset, const QString& column, int fontSize, bool bold, Alignment alignment,
    Options options = {});
FormElement MakeMemo(Section section, const QString& name, double left, double top, double width, double height,
    const QStringList& paragraphs, int fontSize, Alignment alignment, Options options = {});
FormElement MakeExpression(Section section, const QString& name, double left, double top, double width, double height,
    const QString& expression, int fontSize, bool bold, Alignment alignment, Options options = {});

// The display type of a column of the payer, declaration and county tables.
ValueType ColumnValueType(const QString& column);

} // namespace itm
