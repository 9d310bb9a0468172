#pragma once

#include "platform/Prompts.h"

namespace itm {

class QtPrompts : public Prompts
{
public:
    void message(const QString& text) override;
    void notice(const QString& caption, const QString& text) override;
    bool confirm(const QString& question) override;
    void error(const QString& text) override;
};

} // namespace itm
