#pragma once

#include <QObject>
#include <QTimer>

// Tells when one stored preference changes, whoever changed it: this window, or another
// program editing the file (noticed within half a second).
class PreferenceWatch : public QObject
{
    Q_OBJECT

public:
    explicit PreferenceWatch(QObject* parent = nullptr);

signals:
    void changed();

protected:
    // Reads the stored value again; true where it differs from the one read before.
    virtual bool reread() = 0;
    // Emits changed() where reread() finds a change.
    void poll();
    // From the subclass's constructor, once its first value is read.
    void startPolling();

private:
    QTimer m_poll;
};
