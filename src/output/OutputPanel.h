#pragma once

#include <QFrame>
#include <functional>

class QPushButton;

namespace itm {

// The outputs of a saved declaration: the declaration file on a removable
// drive and the printed declaration.
class OutputPanel : public QFrame
{
    Q_OBJECT
public:
    explicit OutputPanel(QWidget* parent = nullptr);

    QPushButton* Button4;
    QPushButton* Button6;
};

} // namespace itm
