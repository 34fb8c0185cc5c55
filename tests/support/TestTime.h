#pragma once

#include <cstdlib>
#include <string>

// Instants written as UTC calendar times, worked out without ICU.
double utc(int year, int month, int day, int hour = 0, int minute = 0, double second = 0);
long daysFromCivil(int year, int month, int day);

constexpr double kHour = 3600.0;
constexpr double kDay = 86400.0;

// Sets an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    bool m_had;
    std::string m_old;
};
