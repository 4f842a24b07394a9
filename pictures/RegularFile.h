#pragma once

#include <QByteArray>

#include <string>
#include <sys/types.h>

namespace Pictures {

// A regular file opened for reading by its native name, or nothing. Only a
// regular file is ever opened, and opening never waits: a FIFO, device or
// socket named like a picture is refused before it is opened, and again by
// the opened descriptor in case the name was swapped in between.
class RegularFile {
public:
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    qint64 size() const { return size_; }
    // When the file was last modified, in whole seconds since the epoch.
    qint64 modifiedSeconds() const { return modifiedSeconds_; }

    // Up to count bytes from the start of the file, leaving the read
    // position where it was; empty on a read error.
    QByteArray prefix(qint64 count) const;
    // Reads up to count bytes at the read position, retrying when a signal
    // interrupts; the number read, 0 at the end, -1 on a read error.
    static ssize_t readSome(int fd, void* buffer, size_t count);

private:
    int fd_ = -1;
    qint64 size_ = 0;
    qint64 modifiedSeconds_ = 0;
};

} // namespace Pictures
