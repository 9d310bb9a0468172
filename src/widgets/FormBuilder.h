#pragma once

#include "widgets/ControlHooks.h"
#include "widgets/DbEdit.h"
#include "widgets/RoadKeys.h"

#include <QColor>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <initializer_list>
#include <span>

namespace itm {

// Every window describes its controls in a table of cells: what each control
// is, its object name, caption, bound column and char case, where it sits
// (row and column of a grid, spans, a fixed width where the content asks for
// one) and what the window's keys do on it. buildForm turns the table into
// widgets, created in table order, and Qt layouts, so that nothing is clipped
// whatever the font. The table is the one list of the window's controls: the
// tab order, the bound columns and the controls that take the step's keys
// all come from it.
//
// The grid: each (row, column) holds its controls left to right; column 0 of
// a panel holds the captions that line up with the others (LabelApart).
enum class Control
{
    Label,
    Edit, // DbEdit, its caption in a label before it
    Button,
    CheckBox, // DbCheckBox
    Hint, // "Esc - inapoi" (or its caption) at the right end of its row
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
    Apart = 128, // a control without a caption stands apart from the one before it, as a new pair does
    FieldKeys = 256, // takes the step's keys for its fields (FormControls::attachKeys)
    ButtonKeys = 512, // takes the step's keys for its buttons
    Highlight = 1024, // stands out while it is the active control
    RoadField = FieldKeys | Highlight // a field of the road: its keys and the highlight
};

using CreateWidget = QWidget* (*)(QWidget* parent);

template <class T> QWidget* makeWidget(QWidget* parent)
{
    return new T(parent);
}

struct CellGeometry
{
    int row = 0;
    int col = 0;
    int width = 0; // 0: as wide as the layout makes it; with Grow, the width it starts from
    int rowSpan = 1;
    int colSpan = 1;
};

struct FormCell
{
    Control kind;
    const char* name = nullptr;
    const char* caption = nullptr;
    // The column the control shows and edits (a BoundControl), bound by
    // FormControls::bindColumns.
    const char* column = nullptr;
    CellGeometry geometry = {};
    unsigned flags = 0;
    CharCase charCase = CharCase::Upper;
    CreateWidget create = nullptr;
    std::span<const FormCell> cells = {}; // a group's own table
    int source = 0; // which of the sources given to bindColumns holds the column
};

// The controls a table made: by object name, and in creation order.
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

    // The controls that take the focus, in creation order; a made widget
    // that takes none (a radio group, a panel with a table of its own)
    // stands for its own controls that do.
    QList<QWidget*> tabOrder() const;
    // Chains the focus through tabOrder().
    void applyTabOrder() const;

    // Binds each control with a column to sources[cell.source].
    void bindColumns(std::initializer_list<DataSource*> sources) const;
    // The bound controls with their columns, in creation order.
    QList<QPair<QWidget*, QString>> boundColumns() const;
    // The control bound to the column; nullptr when none is.
    QWidget* controlOf(const QString& column) const;

    // Attaches the keys to every control whose cell carries keysFlag
    // (FieldKeys or ButtonKeys), with the highlight where the cell asks for
    // it; adjust may change a control's hooks before they are attached.
    void attachKeys(CellFlag keysFlag, const RoadKeys& keys,
        const std::function<void(QWidget* control, ControlHooks& hooks)>& adjust = {}) const;

private:
    friend class FormAssembly;
    struct Entry
    {
        QWidget* control;
        unsigned flags;
        QString column;
        int source;
    };
    QWidget* find(const char* name) const;
    [[noreturn]] static void wrongKind(const char* name);
    // The control itself, or the controls it stands for (tabOrder()).
    static QList<QWidget*> focusTargets(QWidget* control);

    QHash<QString, QWidget*> m_controls;
    QHash<QString, QLabel*> m_labels;
    QList<Entry> m_entries; // the controls that are no label, hint or group
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
