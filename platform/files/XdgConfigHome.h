#pragma once

#include <QString>

// The user's configuration folder by the XDG Base Directory rules: $XDG_CONFIG_HOME when it is
// an absolute path, else $HOME/.config when HOME is one. A relative value is ignored, as the
// rules require; with no usable home the path is empty, and Horalis writes nothing.
class XdgConfigHome
{
public:
    static QString path();
};
