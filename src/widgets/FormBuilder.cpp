#include "widgets/FormBuilder.h"

#include "widgets/DbCheckBox.h"
#include "widgets/FieldLink.h"
#include "widgets/FocusHighlight.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMap>
#include <QPainter>
#include <stdexcept>

namespace itm {

namespace {

// The fixed-size panels are tight: the main window's road must fit its
// fixed height, a field row every 24 pixels.
constexpr int kCompactSpacing = 2;
constexpr int kCompactMargin = 6;
constexpr int kFieldSpacing = 4;
// Between one caption-and-field pair and the next on a row, with the
// spacing on either side.
constexpr int kPairGap = 4;

QString latin1(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

// One table being laid out: the rows of each grid cell, created as they are
// first named.
class FormAssembly
{
public:
    FormAssembly(QWidget* parent, unsigned flags, FormControls& controls)
        : m_parent(parent)
        , m_grid(new QGridLayout(parent))
        , m_controls(controls)
    {
        if (flags & Flush) {
            m_grid->setContentsMargins(0, 0, 0, 0);
            m_grid->setSpacing(0);
        } else if (!(flags & Loose)) {
            // A group box's title already stands apart from its first row.
            const int top = qobject_cast<QGroupBox*>(parent) ? 0 : kCompactSpacing;
            m_grid->setContentsMargins(kCompactMargin, top, kCompactMargin, kCompactSpacing);
            m_grid->setHorizontalSpacing(kFieldSpacing);
            m_grid->setVerticalSpacing(flags & Dense ? 0 : kCompactSpacing);
        }
        m_compact = !(flags & Loose);
        m_flush = flags & Flush;
    }

    void add(const FormCell& cell)
    {
        if (cell.kind == Control::Stretch) {
            line(cell).box->addStretch(1);
            line(cell).stretched = true;
            if (cell.flags & GrowDown)
                m_growingRow = cell.geometry.row;
            return;
        }
        if ((cell.flags & LabelApart) && cell.geometry.col == 0)
            throw std::logic_error(std::string("no column before the control for the caption of ") + cell.name);
        QLabel* caption = nullptr;
        if (cell.caption && (cell.kind == Control::Edit || cell.kind == Control::Widget)) {
            caption = new QLabel(latin1(cell.caption), m_parent);
            setBold(caption, cell.flags & Bold);
            Line& captionLine = (cell.flags & LabelApart) ? line(cell, -1) : line(cell);
            separate(captionLine, true);
            captionLine.box->addWidget(caption);
        }
        QWidget* control = create(cell);
        if (cell.column) {
            auto* bound = qobject_cast<BoundControl*>(control);
            if (!bound)
                throw std::logic_error(std::string("a column for a control that shows none: ") + cell.column);
            bound->link().setFieldName(latin1(cell.column));
        }
        if (cell.kind != Control::Label && cell.kind != Control::Hint && cell.kind != Control::Group)
            m_controls.m_entries.append({ control, cell.flags, latin1(cell.column), cell.source });
        if (cell.name) {
            // Tests and handlers find a control by its name: it names one.
            if (m_controls.m_controls.contains(latin1(cell.name)))
                throw std::logic_error(std::string("two controls of one form named ") + cell.name);
            control->setObjectName(latin1(cell.name));
            m_controls.m_controls.insert(control->objectName(), control);
            if (caption)
                m_controls.m_labels.insert(control->objectName(), caption);
        }
        if (caption)
            caption->setBuddy(control);
        // A growing control starts from its width; the others keep it.
        const int width = cell.geometry.width;
        if (width > 0 && (cell.flags & Grow))
            control->setMinimumWidth(width);
        else if (width > 0)
            control->setFixedWidth(width);
        Line& controlLine = line(cell);
        if (!caption || (cell.flags & LabelApart))
            separate(controlLine, cell.flags & Apart);
        if (cell.kind == Control::Hint) {
            controlLine.box->addStretch(1);
            controlLine.stretched = true;
        }
        const bool grows = cell.flags & Grow;
        controlLine.stretched |= grows;
        // A group stands at the top of its cell at its own height; a field
        // sits on the middle of its row.
        const bool atTop = cell.kind == Control::Group && !(cell.flags & GrowDown);
        controlLine.box->addWidget(control, grows ? 1 : 0, atTop ? Qt::AlignTop : Qt::Alignment());
        if (cell.flags & GrowDown)
            m_growingRow = cell.geometry.row;
    }

    void finish()
    {
        int lastRow = 0;
        int lastColumn = 0;
        for (auto it = m_lines.begin(); it != m_lines.end(); ++it) {
            if (!it->stretched)
                it->box->addStretch(1);
            lastRow = qMax(lastRow, it.key().first + it->rowSpan - 1);
            lastColumn = qMax(lastColumn, it.key().second + it->colSpan - 1);
        }
        m_grid->setColumnStretch(lastColumn, 1);
        if (m_growingRow >= 0)
            m_grid->setRowStretch(m_growingRow, 1);
        else
            m_grid->setRowStretch(lastRow + 1, 1);
    }

private:
    struct Line
    {
        QHBoxLayout* box;
        int rowSpan;
        int colSpan;
        bool stretched = false;
        bool empty = true;
    };

    Line& line(const FormCell& cell, int columnOffset = 0)
    {
        const CellGeometry& place = cell.geometry;
        const QPair<int, int> at { place.row, place.col + columnOffset };
        auto it = m_lines.find(at);
        if (it == m_lines.end()) {
            auto* box = new QHBoxLayout;
            box->setSpacing(m_flush ? 0 : m_compact ? kFieldSpacing : -1);
            const int colSpan = columnOffset == 0 ? place.colSpan : 1;
            m_grid->addLayout(box, at.first, at.second, place.rowSpan, colSpan);
            it = m_lines.insert(at, Line { box, place.rowSpan, colSpan });
        }
        return *it;
    }

    // Caption-and-field pairs on one row stand apart from each other.
    void separate(Line& into, bool pair)
    {
        if (pair && !into.empty)
            into.box->addSpacing(m_compact ? kPairGap : 4 * kPairGap);
        into.empty = false;
    }

    QWidget* create(const FormCell& cell)
    {
        const QString caption = latin1(cell.caption);
        switch (cell.kind) {
        case Control::Label:
        case Control::Hint: {
            auto* text = new QLabel(
                cell.kind == Control::Hint && !cell.caption ? QStringLiteral("Esc - inapoi") : caption, m_parent);
            setBold(text, cell.flags & Bold);
            return text;
        }
        case Control::Edit: {
            auto* edit = new DbEdit(m_parent);
            edit->setCharCase(cell.charCase);
            return edit;
        }
        case Control::Button: {
            auto* button = new QPushButton(caption, m_parent);
            // Enter presses only the button that has the focus.
            button->setAutoDefault(false);
            setBold(button, cell.flags & Bold);
            return button;
        }
        case Control::CheckBox:
            return new DbCheckBox(caption, m_parent);
        case Control::Widget:
            return cell.create(m_parent);
        case Control::Group: {
            QWidget* container = cell.create ? cell.create(m_parent) : new QGroupBox(m_parent);
            if (auto* box = qobject_cast<QGroupBox*>(container))
                box->setTitle(caption);
            FormAssembly inner(container, cell.flags, m_controls);
            for (const FormCell& child : cell.cells)
                inner.add(child);
            inner.finish();
            return container;
        }
        case Control::Stretch:
            break;
        }
        throw std::logic_error("a form cell of no kind");
    }

    QWidget* m_parent;
    QGridLayout* m_grid;
    FormControls& m_controls;
    bool m_compact = true;
    bool m_flush = false;
    int m_growingRow = -1;
    QMap<QPair<int, int>, Line> m_lines;
};

QWidget* FormControls::find(const char* name) const
{
    return m_controls.value(latin1(name));
}

void FormControls::wrongKind(const char* name)
{
    throw std::logic_error(std::string("the form has no control of that kind named ") + name);
}

QLabel* FormControls::labelOf(const char* name) const
{
    QLabel* caption = m_labels.value(latin1(name));
    if (!caption)
        wrongKind(name);
    return caption;
}

QList<QWidget*> FormControls::focusTargets(QWidget* control)
{
    if (control->focusPolicy() != Qt::NoFocus)
        return { control };
    // A radio group keeps only its checked item a Tab stop; every item
    // still belongs to the order and takes the keys.
    QList<QWidget*> targets;
    for (QWidget* child : control->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->focusPolicy() != Qt::NoFocus)
            targets.append(child);
    }
    return targets;
}

QList<QWidget*> FormControls::tabOrder() const
{
    QList<QWidget*> order;
    for (const Entry& entry : m_entries)
        order << focusTargets(entry.control);
    return order;
}

void FormControls::applyTabOrder() const
{
    const QList<QWidget*> order = tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void FormControls::bindColumns(std::initializer_list<DataSource*> sources) const
{
    for (const Entry& entry : m_entries) {
        if (entry.column.isEmpty())
            continue;
        if (entry.source >= int(sources.size()))
            throw std::logic_error("no data source for the column " + entry.column.toStdString());
        qobject_cast<BoundControl*>(entry.control)->link().setDataSource(std::data(sources)[entry.source]);
    }
}

QList<QPair<QWidget*, QString>> FormControls::boundColumns() const
{
    QList<QPair<QWidget*, QString>> columns;
    for (const Entry& entry : m_entries) {
        if (!entry.column.isEmpty())
            columns.append({ entry.control, entry.column });
    }
    return columns;
}

QWidget* FormControls::controlOf(const QString& column) const
{
    for (const Entry& entry : m_entries) {
        if (entry.column == column)
            return entry.control;
    }
    return nullptr;
}

void FormControls::attachKeys(CellFlag keysFlag, const RoadKeys& keys,
    const std::function<void(QWidget* control, ControlHooks& hooks)>& adjust) const
{
    for (const Entry& entry : m_entries) {
        if (!(entry.flags & keysFlag))
            continue;
        for (QWidget* control : focusTargets(entry.control)) {
            ControlHooks hooks = entry.flags & Highlight ? HighlightedRoadHooks(keys)
                                                         : ControlHooks { RoadKeyHandler(keys), {}, {}, {} };
            if (adjust)
                adjust(control, hooks);
            attachHooks(control, hooks);
        }
    }
}

FormControls buildForm(QWidget* parent, std::span<const FormCell> cells, unsigned flags)
{
    FormControls controls;
    FormAssembly assembly(parent, flags, controls);
    for (const FormCell& cell : cells)
        assembly.add(cell);
    assembly.finish();
    return controls;
}

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setBold(QWidget* widget, bool bold)
{
    if (!bold)
        return;
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

ButtonTray::ButtonTray(QWidget* parent)
    : QWidget(parent)
{
}

void ButtonTray::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(185, 205, 208));
    painter.drawRoundedRect(rect(), 8, 8);
}

} // namespace itm
