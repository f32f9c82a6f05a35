#include "SyncService.h"

#include "ByteOrder.h"
#include "DeviceContext.h"
#include "DeviceStorage.h"
#include "DeviceStream.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace devicesim {

namespace {

constexpr uint32_t syncId(const char (&name)[5]) {
    return static_cast<uint32_t>(name[0]) | static_cast<uint32_t>(name[1]) << 8 |
           static_cast<uint32_t>(name[2]) << 16 | static_cast<uint32_t>(name[3]) << 24;
}

constexpr uint32_t kStatV1 = syncId("STAT");
constexpr uint32_t kStatV2 = syncId("STA2");
constexpr uint32_t kLinkStatV2 = syncId("LST2");
constexpr uint32_t kListV1 = syncId("LIST");
constexpr uint32_t kListV2 = syncId("LIS2");
constexpr uint32_t kEntryV1 = syncId("DENT");
constexpr uint32_t kEntryV2 = syncId("DNT2");
constexpr uint32_t kSend = syncId("SEND");
constexpr uint32_t kReceive = syncId("RECV");
constexpr uint32_t kData = syncId("DATA");
constexpr uint32_t kDone = syncId("DONE");
constexpr uint32_t kOkay = syncId("OKAY");
constexpr uint32_t kFail = syncId("FAIL");
constexpr uint32_t kQuit = syncId("QUIT");

constexpr uint32_t kMaximumPathLength = 1024;
constexpr size_t kMaximumDataChunk = 64 * 1024;
constexpr size_t kRequestSize = 8;

void appendStatusV2(std::string& out, const FileStatus& status) {
    const struct stat& info = status.info;
    const bool ok = status.error == 0;
    appendLittleEndian32(out, static_cast<uint32_t>(status.error));
    appendLittleEndian64(out, ok ? info.st_dev : 0);
    appendLittleEndian64(out, ok ? info.st_ino : 0);
    appendLittleEndian32(out, ok ? info.st_mode : 0);
    appendLittleEndian32(out, ok ? static_cast<uint32_t>(info.st_nlink) : 0);
    appendLittleEndian32(out, ok ? info.st_uid : 0);
    appendLittleEndian32(out, ok ? info.st_gid : 0);
    appendLittleEndian64(out, ok ? static_cast<uint64_t>(info.st_size) : 0);
    appendLittleEndian64(out, ok ? static_cast<uint64_t>(info.st_atime) : 0);
    appendLittleEndian64(out, ok ? static_cast<uint64_t>(info.st_mtime) : 0);
    appendLittleEndian64(out, ok ? static_cast<uint64_t>(info.st_ctime) : 0);
}

// The 32-bit fields of the first protocol version: sizes and times are cut to their low bits.
void appendStatusV1(std::string& out, const FileStatus& status) {
    const bool ok = status.error == 0;
    appendLittleEndian32(out, ok ? status.info.st_mode : 0);
    appendLittleEndian32(out, ok ? static_cast<uint32_t>(status.info.st_size) : 0);
    appendLittleEndian32(out, ok ? static_cast<uint32_t>(status.info.st_mtime) : 0);
}

class SyncSession {
public:
    explicit SyncSession(DeviceStream& stream)
        : stream_(stream), storage_(stream.context().storage) {}

    void run() {
        while (flush()) {
            const auto request = take(kRequestSize);
            if (!request) {
                return;
            }
            const uint32_t id = readLittleEndian32(request->data());
            const uint32_t length = readLittleEndian32(request->data() + 4);
            if (id == kQuit) {
                flush();
                return;
            }
            if (length > kMaximumPathLength) {
                fail("path too long");
                flush();
                return;
            }
            const auto path = take(length);
            if (!path || !handle(id, *path)) {
                flush();
                return;
            }
        }
    }

private:
    // False ends the session.
    bool handle(uint32_t id, const std::string& path) {
        switch (id) {
        case kStatV1:
            statV1(path);
            return true;
        case kStatV2:
        case kLinkStatV2:
            statV2(id, path);
            return true;
        case kListV1:
        case kListV2:
            list(id == kListV2, path);
            return true;
        case kSend:
            return send(path);
        case kReceive:
            receive(path);
            return true;
        default:
            fail("unknown sync request");
            return false;
        }
    }

    void statV1(const std::string& path) {
        std::string reply;
        appendLittleEndian32(reply, kStatV1);
        appendStatusV1(reply, storage_.status(path, false));
        queue(reply);
    }

    void statV2(uint32_t id, const std::string& path) {
        std::string reply;
        appendLittleEndian32(reply, id);
        appendStatusV2(reply, storage_.status(path, id == kStatV2));
        queue(reply);
    }

    void list(bool version2, const std::string& path) {
        int error = 0;
        for (const auto& entry : storage_.list(path, error)) {
            std::string reply;
            if (version2) {
                appendLittleEndian32(reply, kEntryV2);
                appendStatusV2(reply, entry.status);
            } else {
                if (entry.status.error != 0) {
                    continue;
                }
                appendLittleEndian32(reply, kEntryV1);
                appendStatusV1(reply, entry.status);
            }
            appendLittleEndian32(reply, static_cast<uint32_t>(entry.name.size()));
            reply += entry.name;
            queue(reply);
        }
        // The end marker has the size of an entry, all fields zero.
        std::string done;
        appendLittleEndian32(done, kDone);
        done.resize(version2 ? 76 : 20, '\0');
        queue(done);
    }

    // "path,mode", then DATA chunks and DONE carrying the modification time.
    bool send(const std::string& request) {
        const size_t comma = request.rfind(',');
        if (comma == std::string::npos) {
            fail("missing file mode");
            return false;
        }
        const std::string path = request.substr(0, comma);
        const mode_t mode =
            static_cast<mode_t>(std::strtoul(request.c_str() + comma + 1, nullptr, 10));
        if (S_ISLNK(mode)) {
            return sendSymbolicLink(path);
        }
        int error = 0;
        CreatedFile created = storage_.createFile(path, mode, error);
        std::string failure =
            error != 0 ? std::string("couldn't create file: ") + std::strerror(error) : "";
        // The data keeps coming whatever happened to the file; read it to the end and answer then.
        for (;;) {
            const auto header = take(kRequestSize);
            if (!header) {
                discard(created);
                return false;
            }
            const uint32_t id = readLittleEndian32(header->data());
            const uint32_t length = readLittleEndian32(header->data() + 4);
            if (id == kDone) {
                return finishFile(created, failure, static_cast<time_t>(length));
            }
            if (id != kData || length > kMaximumDataChunk) {
                discard(created);
                fail("invalid data message");
                return false;
            }
            const auto data = take(length);
            if (!data) {
                discard(created);
                return false;
            }
            if (failure.empty() && !writeAll(created.file.get(), data->data(), data->size())) {
                failure = std::string("write failed: ") + std::strerror(errno);
            }
        }
    }

    bool finishFile(CreatedFile& created, const std::string& failure, time_t modificationTime) {
        if (!failure.empty()) {
            discard(created);
            fail(failure);
            return true;
        }
        const timespec times[2] = {{modificationTime, 0}, {modificationTime, 0}};
        ::futimens(created.file.get(), times);
        if (::close(created.file.release()) != 0) {
            const std::string message = std::string("write failed: ") + std::strerror(errno);
            discard(created);
            fail(message);
            return true;
        }
        std::string reply;
        appendLittleEndian32(reply, kOkay);
        appendLittleEndian32(reply, 0);
        queue(reply);
        return true;
    }

    bool sendSymbolicLink(const std::string& path) {
        std::string target;
        for (;;) {
            const auto header = take(kRequestSize);
            if (!header) {
                return false;
            }
            const uint32_t id = readLittleEndian32(header->data());
            const uint32_t length = readLittleEndian32(header->data() + 4);
            if (id == kDone) {
                const int error = storage_.createSymbolicLink(path, target, length);
                if (error != 0) {
                    fail(std::string("couldn't create symlink: ") + std::strerror(error));
                } else {
                    std::string reply;
                    appendLittleEndian32(reply, kOkay);
                    appendLittleEndian32(reply, 0);
                    queue(reply);
                }
                return true;
            }
            const auto data =
                id == kData && length <= kMaximumDataChunk ? take(length) : std::nullopt;
            if (!data) {
                fail("invalid data message");
                return false;
            }
            target += *data;
        }
    }

    // A failed push leaves nothing half-written behind.
    void discard(CreatedFile& created) {
        if (!created.folder.valid() || created.name.empty()) {
            return;
        }
        created.file.reset();
        ::unlinkat(created.folder.get(), created.name.c_str(), 0);
    }

    void receive(const std::string& path) {
        int error = 0;
        UniqueFd file = storage_.openForReading(path, error);
        if (!file.valid()) {
            fail(std::strerror(error));
            return;
        }
        std::string chunk(kMaximumDataChunk, '\0');
        for (;;) {
            const ssize_t n = ::read(file.get(), chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                fail(std::strerror(errno));
                return;
            }
            if (n == 0) {
                break;
            }
            std::string message;
            appendLittleEndian32(message, kData);
            appendLittleEndian32(message, static_cast<uint32_t>(n));
            message.append(chunk.data(), static_cast<size_t>(n));
            if (!queue(message)) {
                return;
            }
        }
        std::string done;
        appendLittleEndian32(done, kDone);
        appendLittleEndian32(done, 0);
        queue(done);
    }

    void fail(const std::string& message) {
        std::string reply;
        appendLittleEndian32(reply, kFail);
        appendLittleEndian32(reply, static_cast<uint32_t>(message.size()));
        reply += message;
        queue(reply);
    }

    // Replies are gathered into writes as large as the connection allows.
    bool queue(const std::string& bytes) {
        output_ += bytes;
        return output_.size() < stream_.maxPayload() || flush();
    }

    bool flush() {
        if (output_.empty()) {
            return !stream_.closed();
        }
        const bool written = stream_.write(output_);
        output_.clear();
        return written;
    }

    std::optional<std::string> take(size_t size) {
        while (input_.size() - consumed_ < size) {
            auto more = stream_.read();
            if (!more) {
                return std::nullopt;
            }
            input_.erase(0, consumed_);
            consumed_ = 0;
            input_ += *more;
        }
        std::string piece = input_.substr(consumed_, size);
        consumed_ += size;
        return piece;
    }

    DeviceStream& stream_;
    const DeviceStorage& storage_;
    std::string input_;
    size_t consumed_ = 0;
    std::string output_;
};

} // namespace

void runSyncService(DeviceStream& stream) {
    SyncSession(stream).run();
}

} // namespace devicesim
