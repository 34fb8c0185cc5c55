#pragma once

#include "Horalis/Settings/Settings.h"
#include "platform/time/CurrentCalendar.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class SecondTimer;

// The program's model: the day, week, month and year fractions and the time left today, all
// for one instant, recomputed once a second. Before each of the five assignments of a refresh
// it emits objectWillChange(), so observers know to redraw and then read one consistent set.
class ProgressCalculator : public QObject
{
    Q_OBJECT

public:
    // Seconds since the Unix epoch.
    using Clock = std::function<double()>;
    static double systemClock();

    // Reads the first day of the week from `settings` at each update.
    explicit ProgressCalculator(Clock clock = systemClock, Settings& settings = Settings::shared(),
                                QObject* parent = nullptr);
    ~ProgressCalculator() override;

    double dayProgress() const { return m_dayProgress; }
    double weekProgress() const { return m_weekProgress; }
    double monthProgress() const { return m_monthProgress; }
    double yearProgress() const { return m_yearProgress; }
    const QString& timeRemainingText() const { return m_timeRemainingText; }

    void updateProgress();

signals:
    void objectWillChange();

private:
    template <typename T> void publish(T& field, T value)
    {
        emit objectWillChange();
        field = std::move(value);
    }

    double m_dayProgress = 0.0;
    double m_weekProgress = 0.0;
    double m_monthProgress = 0.0;
    double m_yearProgress = 0.0;
    QString m_timeRemainingText;
    Clock m_clock;
    Settings& m_settings;
    CurrentCalendar m_currentCalendar;
    std::unique_ptr<SecondTimer> m_timer;
};
