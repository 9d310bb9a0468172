#pragma once

#include "platform/Platform.h"
#include "support/FakePrompts.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>

namespace itm::test {

// Puts the platform's services and the working folder back as they were when
// it began, however the test ends (a failed QVERIFY returns early), so that no
// test leaves a double of an ended test installed for the next one.
class PlatformScope
{
public:
    PlatformScope()
        : m_platform(platform())
        , m_folder(QDir::currentPath())
    {
    }
    ~PlatformScope()
    {
        platform() = m_platform;
        QDir::setCurrent(m_folder);
    }
    PlatformScope(const PlatformScope&) = delete;
    PlatformScope& operator=(const PlatformScope&) = delete;

private:
    Platform m_platform;
    QString m_folder;
};

// The base of the fixtures that drive windows as a user does: every box is
// answered by its FakePrompts, installed for its lifetime, and the keys go
// through the event loop the way a user's do. A fixture installs its other
// doubles in its constructor; the scope takes them out again after the
// fixture's own members are gone.
class GuiFixture
{
public:
    GuiFixture() { platform().prompts = &prompts; }
    GuiFixture(const GuiFixture&) = delete;
    GuiFixture& operator=(const GuiFixture&) = delete;

    // Runs the queued focus moves, deferred work and deletions.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target, key, modifiers);
        settle();
    }

    // A key to whatever has the focus, as the user's keyboard sends it.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QTEST_ASSERT(focus);
        GuiFixture::key(focus, key, modifiers);
    }

    static void type(QWidget* target, const QString& text)
    {
        QTest::keyClicks(target, text);
        settle();
    }

    static void type(const QString& text) { type(QApplication::focusWidget(), text); }

    // Moves the focus into a control as Tab does.
    static void enter(QWidget* control)
    {
        control->setFocus(Qt::TabFocusReason);
        settle();
    }

    static QWidget* focus() { return QApplication::focusWidget(); }

private:
    PlatformScope m_scope; // first made, last undone

public:
    FakePrompts prompts;
};

} // namespace itm::test
