#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace itm::test {

class FakePrompts;

// Every FakePrompts alive, and what those that ended left behind (answers
// unused, boxes unexpected): GuiTestCase::cleanup() checks both after each
// test function, so no test has to remember to.
inline QList<FakePrompts*>& LivePrompts()
{
    static QList<FakePrompts*> live;
    return live;
}
inline QStringList& EndedPromptProblems()
{
    static QStringList problems;
    return problems;
}

// Answers message boxes from a queue and records what was shown. A box for
// which no answer was queued is recorded as unexpected (and answered No);
// verify() reports unexpected boxes and answers left unused.
class FakePrompts : public Prompts
{
public:
    FakePrompts() { LivePrompts().append(this); }
    ~FakePrompts() override
    {
        LivePrompts().removeOne(this);
        const QString problems = verify();
        if (!problems.isEmpty())
            EndedPromptProblems().append(problems);
    }
    FakePrompts(const FakePrompts&) = delete;
    FakePrompts& operator=(const FakePrompts&) = delete;

    enum class Kind
    {
        Message,
        Notice,
        Confirm,
        Error
    };
    enum class Answer
    {
        Ok,
        Yes,
        No
    };
    struct Shown
    {
        Kind kind;
        QString caption;
        QString text;
    };

    void answerOk(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            m_answers.append(Answer::Ok);
    }
    void answerYes() { m_answers.append(Answer::Yes); }
    void answerNo() { m_answers.append(Answer::No); }
    // Runs while the next box is "open" (a modal box runs a nested loop).
    void duringNextBox(std::function<void()> action) { m_during = std::move(action); }

    void message(const QString& text) override { show(Kind::Message, programTitle(), text); }
    void notice(const QString& caption, const QString& text) override { show(Kind::Notice, caption, text); }
    bool confirm(const QString& question) override
    {
        return show(Kind::Confirm, QStringLiteral("Confirm"), question) == Answer::Yes;
    }
    void error(const QString& text) override { show(Kind::Error, programTitle(), errorBoxText(text)); }

    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const
    {
        QStringList result;
        for (const Shown& box : m_shown)
            result.append(box.text);
        return result;
    }
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_unexpected.clear();
    }

    // Empty when every queued answer was used and no box came unexpectedly.
    QString verify() const
    {
        QStringList problems;
        for (const QString& box : m_unexpected)
            problems.append(QStringLiteral("unexpected box: ") + box);
        if (!m_answers.isEmpty())
            problems.append(QStringLiteral("%1 queued answer(s) left unused").arg(m_answers.size()));
        return problems.join(u'\n');
    }

private:
    Answer show(Kind kind, const QString& caption, const QString& text)
    {
        m_shown.append({ kind, caption, text });
        if (m_during) {
            auto action = std::move(m_during);
            m_during = nullptr;
            action();
        }
        const bool isQuestion = kind == Kind::Confirm;
        if (m_answers.isEmpty() || (m_answers.first() == Answer::Ok) == isQuestion) {
            m_unexpected.append(text);
            return Answer::No;
        }
        return m_answers.takeFirst();
    }

    QList<Shown> m_shown;
    QList<Answer> m_answers;
    QStringList m_unexpected;
    std::function<void()> m_during;
};

} // namespace itm::test

// For a check in the middle of a test function; the end of each one is
// checked by GuiTestCase.
#define VERIFY_PROMPTS(f) QVERIFY2((f).prompts.verify().isEmpty(), qPrintable((f).prompts.verify()))
