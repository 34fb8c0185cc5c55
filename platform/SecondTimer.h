#pragma once

#include <QObject>
#include <QTimer>

// A repeating one-second timer whose ticks land just after each wall-clock second begins.
// It is re-armed at every tick from the wall clock, so a countdown in whole seconds never skips
// or repeats a second, and after a suspend or a clock jump the next tick is back in step.
class SecondTimer : public QObject
{
    Q_OBJECT

public:
    // `offsetMs` is how long after the start of a second the tick lands.
    explicit SecondTimer(int offsetMs, QObject* parent = nullptr);

    // A started timer, a child of `owner` (so it stops when the owner goes), that calls
    // `onTick` on the owner.
    template <typename Owner, typename Slot>
    static SecondTimer* startFor(Owner* owner, int offsetMs, Slot onTick)
    {
        auto* timer = new SecondTimer(offsetMs, owner);
        connect(timer, &SecondTimer::tick, owner, onTick);
        timer->start();
        return timer;
    }

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    // Milliseconds from `nowMs` (wall clock) to the next tick.
    static int delayUntilNextTick(qint64 nowMs, int offsetMs);

signals:
    void tick();

private:
    void arm();

    QTimer m_timer;
    int m_offsetMs;
};
