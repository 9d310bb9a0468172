#include "widgets/RoadKeys.h"

#include "platform/Guard.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "widgets/FocusHighlight.h"

#include <QPushButton>

namespace itm {

std::function<bool(QWidget* sender, int key)> RoadKeyHandler(RoadKeys keys)
{
    return [keys = std::move(keys)](QWidget*, int key) {
        if (key == KeyEnter && keys.enter) {
            keys.enter();
            return true;
        }
        if (key == KeyEscape && keys.back) {
            if (keys.escapeQuestion.isEmpty() || platform().prompts->confirm(keys.escapeQuestion))
                keys.back();
            return true;
        }
        return false;
    };
}

ControlHooks HighlightedRoadHooks(const RoadKeys& keys)
{
    return { RoadKeyHandler(keys), [](QWidget* control) { HighlightControl(control); },
        [](QWidget* control) { ClearHighlight(control); }, {} };
}

void OnClick(QPushButton* button, std::function<void()> handler)
{
    QObject::connect(button, &QPushButton::clicked, button, [handler = std::move(handler)] { runGuarded(handler); });
}

} // namespace itm
