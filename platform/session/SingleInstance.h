#pragma once

#include <QLockFile>

#include <memory>

// Holds the per-session lock that lets only one Horalis run. A lock left by a program that
// no longer runs is taken over.
class SingleInstance
{
public:
    SingleInstance();
    bool isPrimary() const { return m_primary; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_primary = false;
};
