#pragma once

#include <functional>

class QEvent;
class QWidget;

namespace itm {

// The window's handlers of one control, in the order the control calls them.
struct ControlHooks
{
    // Key pressed: returns true when the handler consumed the key.
    std::function<bool(QWidget* sender, int key)> keyDown;
    std::function<void(QWidget* sender)> enter;
    std::function<void(QWidget* sender)> exit;
    // The control's content changed (text typed or set, box ticked or cleared).
    std::function<void(QWidget* sender)> change;
};

// Controls that call their hooks themselves, at the points their own
// behaviour requires (a bound edit writes its column before the exit handler
// runs, the lookup edit handles Enter before the window does).
class HookedControl
{
public:
    virtual ~HookedControl() = default;
    ControlHooks& hooks() { return m_hooks; }

protected:
    bool callKeyDown(QWidget* self, int key);
    void callEnter(QWidget* self);
    void callExit(QWidget* self);
    void callChange(QWidget* self);

private:
    ControlHooks m_hooks;
};

// Attaches handlers to any control: hooked controls keep them, the others get
// an event filter that calls them. Every call runs through runGuarded; the
// enter and exit handlers follow the window's active control (ActiveControl.h).
void attachHooks(QWidget* control, const ControlHooks& hooks);

// A focus change that only follows another window (a message box, a dialog)
// opening or closing: the control keeps its place, so no enter or exit handler runs.
bool isWindowSwitch(const QEvent* event);

// Windows key codes of the keys the handlers act on, translated from Qt's key
// codes in this one place.
constexpr int KeyOther = 0;
constexpr int KeyBackspace = 8;
constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeyPageUp = 33;
constexpr int KeyPageDown = 34;
constexpr int KeyUp = 38;
constexpr int KeyDown = 40;
constexpr int KeyDelete = 46;
constexpr int KeyF4 = 115;
int windowsKeyCode(int qtKey);

} // namespace itm
