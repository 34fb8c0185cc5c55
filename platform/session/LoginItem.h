#pragma once

#include <QString>

// The running program as a login item, after the freedesktop autostart convention: an entry
// horalis.desktop in $XDG_CONFIG_HOME/autostart (~/.config/autostart) that starts this
// executable when the user logs in.
class LoginItem
{
public:
    // The service object for the running program, by the path the kernel has for it.
    static LoginItem mainApp();
    // `executable` as the file system has it: bytes, not necessarily UTF-8.
    explicit LoginItem(QByteArray executable);

    // On failure each returns false and describes the error in `error`.
    bool registerItem(QString* error) const;
    bool unregisterItem(QString* error) const;

    // Empty where the user has no usable home.
    static QString entryPath();
    // One argument of an Exec line, quoted and escaped as the Desktop Entry format requires.
    static QString quoteExecArgument(const QString& argument);

private:
    QByteArray m_executable;
};
