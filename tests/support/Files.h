#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>

// A file's bytes; empty where it is missing or unreadable.
QByteArray fileText(const QString& path);
// Writes the file as another program would, its folder made first; false where it cannot.
bool writeFileText(const QString& path, const QByteArray& content);
// What `run` wrote to standard output, read through a pipe. Nothing flushes stdio after `run`:
// a line still buffered when it returns is not captured.
std::string captureStdout(const std::function<void()>& run);
