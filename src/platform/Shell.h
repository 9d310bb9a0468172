#pragma once

#include <QString>

namespace itm {

// The desktop shell: opens a document with its viewer; the result is not reported.
class Shell
{
public:
    virtual ~Shell() = default;
    virtual void openDocument(const QString& path) = 0;
};

class QtShell : public Shell
{
public:
    void openDocument(const QString& path) override;
};

} // namespace itm
