#include "widgets/FormBuilder.h"

#include <QPainter>

namespace itm {

DbEdit* addEdit(QWidget* parent, DataSource* source, const EditSpec& description)
{
    if (description.label)
        addLabel(parent, QString::fromLatin1(description.label), description.labelX, description.y + 3);
    auto* edit = new DbEdit(parent);
    edit->setObjectName(QString::fromLatin1(description.name));
    edit->setGeometry(description.x, description.y, description.width, 21);
    edit->setCharCase(description.charCase);
    edit->setDataSource(source);
    edit->setDataField(QString::fromLatin1(description.column));
    return edit;
}

QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, bool bold)
{
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->adjustSize();
    label->move(x, y);
    return label;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry, bool bold)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    return button;
}

QLabel* addBackHint(QWidget* parent, int rightEdge, int y)
{
    auto* hint = addLabel(parent, QStringLiteral("Esc - inapoi"), 0, y);
    hint->move(rightEdge - hint->width(), y);
    return hint;
}

void setBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

ButtonTray::ButtonTray(QWidget* parent, const QRect& geometry)
    : QWidget(parent)
{
    setGeometry(geometry);
    lower();
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
