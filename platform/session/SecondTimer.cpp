#include "platform/session/SecondTimer.h"

#include <QDateTime>

SecondTimer::SecondTimer(int offsetMs, QObject* parent)
    : QObject(parent), m_timer(this), m_offsetMs(offsetMs)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        arm();
        emit tick();
    });
}

void SecondTimer::start()
{
    arm();
}

int SecondTimer::delayUntilNextTick(qint64 nowMs, int offsetMs)
{
    const qint64 intoSecond = ((nowMs - offsetMs) % 1000 + 1000) % 1000;
    // A tick that fires a hair early must not land twice in the same second.
    const qint64 delay = 1000 - intoSecond;
    return static_cast<int>(delay < 50 ? delay + 1000 : delay);
}

void SecondTimer::arm()
{
    m_timer.start(delayUntilNextTick(QDateTime::currentMSecsSinceEpoch(), m_offsetMs));
}
