#include "support/GuiTestCase.h"

#include "support/FakePrompts.h"

#include <QTest>

namespace itm::test {

void GuiTestCase::cleanup()
{
    QStringList problems = EndedPromptProblems();
    EndedPromptProblems().clear();
    for (FakePrompts* prompts : std::as_const(LivePrompts())) {
        const QString left = prompts->verify();
        if (!left.isEmpty())
            problems.append(left);
        prompts->clear();
    }
    // A failed test has said what went wrong already; what it left behind is
    // only the echo of that.
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

} // namespace itm::test
