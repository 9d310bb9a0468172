#pragma once

#include <QObject>
#include <functional>

namespace itm {

// While the program waits for an answer without a dialog of its own: a wait
// cursor, and every key and mouse input of the program swallowed, so that
// nothing changes under the wait, except Escape, which calls onEscape (after
// the key has been handled, in the event loop of context, so that it may end
// the block). The windows keep painting. Ends with the object.
class InputBlock : public QObject
{
public:
    InputBlock(QObject* context, std::function<void()> onEscape);
    ~InputBlock() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* m_context;
    std::function<void()> m_onEscape;
};

} // namespace itm
