#include "Horalis/settings_window/PreferenceWatch.h"

#include "platform/files/FileWatch.h"

PreferenceWatch::PreferenceWatch(const QString& filePath, QObject* parent)
    : QObject(parent), m_file(FileWatch::of(filePath))
{
    connect(m_file.get(), &FileWatch::changed, this, &PreferenceWatch::poll);
}

PreferenceWatch::~PreferenceWatch() = default;

void PreferenceWatch::poll()
{
    if (reread())
        emit changed();
}
