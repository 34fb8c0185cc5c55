#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

// A repeating one-second timer whose ticks land just after each wall-clock second begins.
// It is re-armed at every tick from the wall clock, so a countdown in whole seconds never skips
// or repeats a second, and after a suspend or a clock jump the next tick is back in step.
class SecondTimer : public QObject
{
    Q_OBJECT

public:
    // `offsetMs` is how long after the start of a second the tick lands.
    explicit SecondTimer(int offsetMs, QObject* parent = nullptr);

    // A started timer that calls `onTick` on `owner` for as long as both exist.
    template <typename Owner, typename Slot>
    static std::unique_ptr<SecondTimer> startFor(Owner* owner, int offsetMs, Slot onTick)
    {
        auto timer = std::make_unique<SecondTimer>(offsetMs);
        connect(timer.get(), &SecondTimer::tick, owner, onTick);
        timer->start();
        return timer;
    }

    void start();

    // Milliseconds from `nowMs` (wall clock) to the next tick.
    static int delayUntilNextTick(qint64 nowMs, int offsetMs);

signals:
    void tick();

private:
    void arm();

    QTimer m_timer;
    int m_offsetMs;
};
