#include "platform/files/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

FileIdentity FileIdentity::of(const std::string& path)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {true,
            S_ISREG(info.st_mode),
            info.st_dev,
            info.st_ino,
            info.st_size,
            static_cast<long long>(info.st_mtim.tv_sec) * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

FileIdentity FileIdentity::of(const QString& path)
{
    return of(QFile::encodeName(path).toStdString());
}
