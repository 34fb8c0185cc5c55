#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a session's end, Ctrl+C, a closed terminal) into a signal
// on the event loop, so the program leaves through its ordinary quit path. A handler may do
// almost nothing, so it only writes a byte to a socket the event loop watches.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    void drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
