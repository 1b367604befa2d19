#include "support/Clock.h"

namespace cardolin {

QDateTime SystemClock::NowUtc() const
{
    return QDateTime::currentDateTimeUtc();
}

const Clock &SystemClock::Instance()
{
    static const SystemClock clock;
    return clock;
}

} // namespace cardolin
