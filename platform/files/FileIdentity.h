#pragma once

#include <QString>

#include <string>

#include <sys/types.h>

// What tells one version of a file from the next without reading it: a package upgrade renames
// a new file over the old one (a new inode), an editor rewrites it (a new size or time stamp).
// One stat call; a missing file has the identity of no file.
struct FileIdentity
{
    bool exists = false;
    bool regular = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;

    static FileIdentity of(const std::string& path);
    static FileIdentity of(const QString& path);
    bool operator==(const FileIdentity&) const = default;
};
