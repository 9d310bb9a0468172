#pragma once

#include <QObject>
#include <functional>

namespace itm {

// While the program waits for an answer without a dialog of its own: a wait
// cursor, and every key and mouse input of the program swallowed, so that
// nothing changes under the wait, except Escape, which calls onEscape (after
// the key has been handled). The windows keep painting. Ends with the object.
class InputBlock : public QObject
{
public:
    explicit InputBlock(std::function<void()> onEscape);
    ~InputBlock() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onEscape;
};

} // namespace itm
