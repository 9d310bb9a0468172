#pragma once

#include "widgets/ControlHooks.h"

#include <QString>
#include <functional>

class QPushButton;

namespace itm {

// How the controls of one step of a window's road answer Enter and Escape:
// Enter runs its action (usually moving on as Tab does); Escape goes back a
// step, after a Yes to the question when there is one. A key without an
// action is left to the control.
struct RoadKeys
{
    std::function<void()> enter;
    QString escapeQuestion;
    std::function<void()> back;
};

// The key handler of a control on the road.
std::function<bool(QWidget* sender, int key)> RoadKeyHandler(RoadKeys keys);

// The hooks of a field on the road: its keys, and the highlight while it is
// the active control.
ControlHooks HighlightedRoadHooks(const RoadKeys& keys);

// A click runs the handler as every handler runs: an error is shown, not thrown on.
void OnClick(QPushButton* button, std::function<void()> handler);

} // namespace itm
