#pragma once

#include "platform/Clock.h"

namespace itm::test {

class FakeClock : public Clock
{
public:
    QDate date { 2007, 3, 15 };
    QDate today() const override { return date; }
};

} // namespace itm::test
