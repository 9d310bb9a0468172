#pragma once

class QWidget;

namespace itm {

// The field being typed in stands out: a text field, check box or radio
// button that is entered takes the highlight colour and gives it back when it
// is left. Other controls keep their look.
void HighlightControl(QWidget* control);
void ClearHighlight(QWidget* control);

} // namespace itm
