#include "Horalis/settings_window/PreferenceWatch.h"

namespace {
constexpr int kPollMs = 500;
}

PreferenceWatch::PreferenceWatch(QObject* parent) : QObject(parent), m_poll(this)
{
    connect(&m_poll, &QTimer::timeout, this, &PreferenceWatch::poll);
}

void PreferenceWatch::poll()
{
    if (reread())
        emit changed();
}

void PreferenceWatch::startPolling()
{
    m_poll.start(kPollMs);
}
