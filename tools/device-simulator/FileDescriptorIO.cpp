#include "FileDescriptorIO.h"

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace devicesim {

bool readExactly(int fd, char* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool writeAll(int fd, const char* data, size_t size) {
    struct stat info {};
    const bool isSocket = ::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode);
    size_t done = 0;
    while (done < size) {
        ssize_t n = isSocket ? ::send(fd, data + done, size - done, MSG_NOSIGNAL)
                             : ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset(other.release());
    }
    return *this;
}

int UniqueFd::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

} // namespace devicesim
