#pragma once

#include <QByteArray>

// Horalis' one line of output. Writing it never ends the program: a standard output whose
// reader has gone (a pipe from a launcher that closed its end) fails the write, not Horalis.
class StandardOutput
{
public:
    // True when the whole line reached standard output.
    static bool writeLine(const QByteArray& line);
};
