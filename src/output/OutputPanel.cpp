#include "output/OutputPanel.h"

#include "widgets/FormBuilder.h"

namespace itm {

OutputPanel::OutputPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("butpan"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setBackground(this, QColor(218, 218, 218));
    Button4 = addButton(this, "Button4", QStringLiteral("&Generare discheta I.T.M."), QRect(8, 7, 240, 26), true);
    Button6 = addButton(this, "Button6", QStringLiteral("&Listare declaratie I.T.M."), QRect(256, 7, 240, 26), true);
    addBackHint(this, 760, 13);
}

} // namespace itm
