#pragma once

#include "platform/Clock.h"

namespace itm::test {

class FakeClock : public Clock
{
public:
    QDate date { 2007, 3, 15 };
    QTime time { 12, 0 };
    QDate today() const override { return date; }
    QDateTime now() const override { return QDateTime(date, time); }
};

} // namespace itm::test
