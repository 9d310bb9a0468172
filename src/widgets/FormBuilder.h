#pragma once

#include "widgets/DbEdit.h"

#include <QColor>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <span>

namespace itm {

// Every window describes its controls in a table of cells: what each control
// is, its object name, caption, bound column and char case, and where it sits
// (row and column of a grid, spans, a fixed width where the content asks for
// one). buildForm turns the table into widgets, created in table order, and
// Qt layouts, so that nothing is clipped whatever the font.
//
// The grid: each (row, column) holds its controls left to right; column 0 of
// a panel holds the captions that line up with the others (LabelApart).
enum class Control
{
    Label,
    Edit, // DbEdit, its caption in a label before it
    Button,
    CheckBox, // DbCheckBox
    Hint, // "Esc - inapoi" at the right end of its row
    Widget, // made by the cell's create function, its caption in a label before it
    Group, // a container (a group box unless create says otherwise) with its own table
    Stretch // the free width of the row goes here
};

enum CellFlag : unsigned
{
    Bold = 1,
    LabelApart = 2, // the caption stands in the column before the control
    Grow = 4, // the control takes the free width of its row
    GrowDown = 8, // its row takes the free height of the form
    Loose = 16, // laid out with the style's margins and spacing
    Flush = 32, // laid out edge to edge, with no margins or spacing
    Dense = 64, // rows touch each other
    Apart = 128 // a control without a caption stands apart from the one before it, as a new pair does
};

using CreateWidget = QWidget* (*)(QWidget* parent);

template <class T> QWidget* makeWidget(QWidget* parent)
{
    return new T(parent);
}

struct FormCell
{
    Control kind;
    const char* name = nullptr;
    const char* caption = nullptr;
    const char* column = nullptr;
    int row = 0;
    int col = 0;
    int width = 0; // 0: as wide as the layout makes it
    unsigned flags = 0;
    CharCase charCase = CharCase::Upper;
    CreateWidget create = nullptr;
    std::span<const FormCell> cells = {}; // a group's own table
    int rowSpan = 1;
    int colSpan = 1;
};

constexpr FormCell label(const char* caption, int row, int col, unsigned flags = 0, const char* name = nullptr)
{
    return { Control::Label, name, caption, nullptr, row, col, 0, flags };
}
constexpr FormCell edit(const char* name, const char* caption, const char* column, int row, int col, int width,
    unsigned flags = 0, CharCase charCase = CharCase::Upper)
{
    return { Control::Edit, name, caption, column, row, col, width, flags, charCase };
}
constexpr FormCell button(const char* name, const char* caption, int row, int col, int width, unsigned flags = 0)
{
    return { Control::Button, name, caption, nullptr, row, col, width, flags };
}
constexpr FormCell checkBox(const char* name, const char* caption, const char* column, int row, int col)
{
    return { Control::CheckBox, name, caption, column, row, col };
}
constexpr FormCell hint(int row, int col)
{
    return { Control::Hint, nullptr, "Esc - inapoi", nullptr, row, col };
}
constexpr FormCell stretch(int row, int col)
{
    return { Control::Stretch, nullptr, nullptr, nullptr, row, col };
}
// The free height of the form goes to this row.
constexpr FormCell verticalStretch(int row)
{
    return { Control::Stretch, nullptr, nullptr, nullptr, row, 0, 0, GrowDown };
}
template <class T>
constexpr FormCell widget(const char* name, const char* caption, int row, int col, int width = 0, unsigned flags = 0)
{
    return { Control::Widget, name, caption, nullptr, row, col, width, flags, CharCase::Upper, &makeWidget<T> };
}
constexpr FormCell widget(
    const char* name, const char* caption, CreateWidget create, int row, int col, int width = 0, unsigned flags = 0)
{
    return { Control::Widget, name, caption, nullptr, row, col, width, flags, CharCase::Upper, create };
}
constexpr FormCell group(const char* name, const char* caption, std::span<const FormCell> cells, int row, int col,
    unsigned flags = 0, CreateWidget create = nullptr)
{
    return { Control::Group, name, caption, nullptr, row, col, 0, flags, CharCase::Upper, create, cells };
}
constexpr FormCell spanning(FormCell cell, int rows, int cols)
{
    cell.rowSpan = rows;
    cell.colSpan = cols;
    return cell;
}
constexpr FormCell wide(FormCell cell, int width)
{
    cell.width = width;
    return cell;
}

// The controls a table made, by object name.
class FormControls
{
public:
    // Throws std::logic_error for a name the table does not hold or a
    // control of another kind: a table and its window disagree.
    template <class T> T* get(const char* name) const
    {
        auto* control = qobject_cast<T*>(find(name));
        if (!control)
            wrongKind(name);
        return control;
    }
    // The caption label of a named control.
    QLabel* labelOf(const char* name) const;

private:
    friend class FormAssembly;
    QWidget* find(const char* name) const;
    [[noreturn]] static void wrongKind(const char* name);

    QHash<QString, QWidget*> m_controls;
    QHash<QString, QLabel*> m_labels;
};

// Lays the table out on parent, which gets a grid layout of its own.
FormControls buildForm(QWidget* parent, std::span<const FormCell> cells, unsigned flags = 0);

void setBackground(QWidget* widget, const QColor& colour);
void setBold(QWidget* widget, bool bold = true);

// A rounded rectangle holding a row of buttons.
class ButtonTray : public QWidget
{
public:
    explicit ButtonTray(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace itm
