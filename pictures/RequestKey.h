#pragma once

#include "Request.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Pictures {

// Names a request's outcome: each candidate's path with what the file system
// said of it when the key was made, the size asked for and the purpose. A file
// that changes (size, modification or change time, or a different file under
// the same name) gives another key, so it is decoded again; a file that is
// missing or no regular file gives a key of its own too, so one that appears
// later is decoded.
class RequestKey {
public:
    // The key of request, from the state of its files now (one stat each).
    static RequestKey Of(const Request& request);

    // False for a candidate that was missing or no regular file when the key
    // was made: it cannot give a picture, and opening it might block (a FIFO).
    bool isRegularFile(std::size_t candidate) const { return stamps_.at(candidate).regular; }
    Purpose purpose() const { return purpose_; }

    bool operator==(const RequestKey&) const = default;

    struct Hash {
        std::size_t operator()(const RequestKey& key) const;
    };

private:
    // What stat said of one candidate; all zero for one it could not stat.
    struct Stamp {
        std::string path;
        bool regular = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

    std::vector<Stamp> stamps_;
    QSize box_;
    QRect area_;
    Purpose purpose_ = Purpose::Thumbnail;
};

} // namespace Pictures
