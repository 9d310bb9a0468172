#pragma once

#include "widgets/DbEdit.h"

#include <QColor>
#include <QLabel>
#include <QPushButton>

namespace itm {

class DataSource;

// One labelled, bound edit of a panel, as the panels' tables describe it:
// pixel positions inside the panel.
struct EditSpec
{
    const char* name;
    const char* label; // nullptr: no label
    const char* column;
    int labelX;
    int x;
    int y;
    int width;
    CharCase charCase = CharCase::Upper;
};

DbEdit* addEdit(QWidget* parent, DataSource* source, const EditSpec& description);
QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, bool bold = false);
QPushButton* addButton(
    QWidget* parent, const char* name, const QString& caption, const QRect& geometry, bool bold = false);
// The hint "Esc - inapoi" at the right edge of a panel.
QLabel* addBackHint(QWidget* parent, int rightEdge, int y);
void setBackground(QWidget* widget, const QColor& colour);

// A rounded rectangle under a row of buttons.
class ButtonTray : public QWidget
{
public:
    ButtonTray(QWidget* parent, const QRect& geometry);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace itm
