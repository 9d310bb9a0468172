#pragma once

#include <QDate>
#include <QDateTime>

namespace itm {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // Local date and time, to the second.
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace itm
