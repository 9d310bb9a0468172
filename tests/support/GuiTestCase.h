#pragma once

#include <QObject>

namespace itm::test {

// The base of the test classes that show boxes through FakePrompts. After each
// test function it fails the test when a queued answer was left unused or a
// box appeared that no answer was queued for, in any FakePrompts of the test,
// and starts the next function with none of that carried over. A class with a
// cleanup() of its own calls GuiTestCase::cleanup() from it.
class GuiTestCase : public QObject
{
    Q_OBJECT
protected Q_SLOTS:
    void cleanup();
};

} // namespace itm::test
