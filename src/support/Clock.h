#pragma once

#include <QDateTime>

namespace cardolin {

// Where "now" comes from. The core never reads the system time directly, so tests
// can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime NowUtc() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime NowUtc() const override;
    static const Clock &Instance();
};

// A clock that stands still until told otherwise.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime nowUtc) : m_now(std::move(nowUtc)) {}
    QDateTime NowUtc() const override { return m_now; }
    void Set(QDateTime nowUtc) { m_now = std::move(nowUtc); }
    void AdvanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

} // namespace cardolin
