#pragma once

#include "platform/Shell.h"

#include <QStringList>

namespace itm::test {

class FakeShell : public Shell
{
public:
    QStringList opened;
    void openDocument(const QString& path) override { opened.append(path); }
};

} // namespace itm::test
