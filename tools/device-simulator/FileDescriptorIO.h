// Blocking whole-buffer reads and writes on sockets and pipes, retried across EINTR.
#pragma once

#include <cstddef>

namespace devicesim {

bool readExactly(int fd, char* buffer, size_t size);
bool writeAll(int fd, const char* data, size_t size);

// Owns one file descriptor and closes it once.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

} // namespace devicesim
