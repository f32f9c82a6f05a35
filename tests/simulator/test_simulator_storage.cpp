// Containment of the sync service's file access: device paths, "..", and symbolic links inside
// the storage folder (relative, absolute, escaping, looping) never reach beyond it.
#include "DeviceStorage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace devicesim;
namespace fs = std::filesystem;

namespace {

// workspace/sdcard is the storage folder, workspace/outside a host folder beside it.
class StorageFixture : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pavrel-storage-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        workspace = pattern;
        root = workspace / "sdcard";
        outside = workspace / "outside";
        fs::create_directories(root / "DCIM");
        fs::create_directories(outside);
        write(root / "DCIM" / "a.jpg", "photo");
        write(outside / "secret.txt", "secret");
        fs::create_directory_symlink("DCIM", root / "inside");
        fs::create_directory_symlink("/sdcard/DCIM", root / "absoluteInside");
        fs::create_directory_symlink(outside, root / "escapeAbsolute");
        fs::create_directory_symlink("../outside", root / "escapeRelative");
        fs::create_directory_symlink("../../../../../../etc", root / "escapeUpwards");
        fs::create_symlink("loop", root / "loop");
        std::string error;
        storage = std::make_unique<DeviceStorage>(root.string(), error);
        ASSERT_EQ(error, "");
    }

    void TearDown() override { fs::remove_all(workspace); }

    static void write(const fs::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path workspace, root, outside;
    std::unique_ptr<DeviceStorage> storage;
};

struct ResolveCase {
    const char* reason;
    const char* devicePath;
    bool followFinalLink;
    DeviceLocation::Kind kind;
    const char* inside; // components joined with "/", for storage locations
    int error;
};

// Test names show the reason rather than the bytes of the case.
void PrintTo(const ResolveCase& c, std::ostream* out) {
    *out << c.reason;
}

class ResolveTest : public StorageFixture, public testing::WithParamInterface<ResolveCase> {};

std::string joined(const std::vector<std::string>& components) {
    std::string text;
    for (const auto& c : components) {
        text += (text.empty() ? "" : "/") + c;
    }
    return text;
}

TEST_P(ResolveTest, LeadsWhereTheDeviceWould) {
    const auto& c = GetParam();
    const auto location = storage->resolve(c.devicePath, c.followFinalLink);
    EXPECT_EQ(location.error, c.error) << c.reason;
    if (c.error != 0) {
        return;
    }
    EXPECT_EQ(location.kind, c.kind) << c.reason << " (" << location.devicePath << ")";
    if (c.kind == DeviceLocation::Kind::storage) {
        EXPECT_EQ(joined(location.components), c.inside) << c.reason;
    }
}

using K = DeviceLocation::Kind;
INSTANTIATE_TEST_SUITE_P(
    Paths, ResolveTest,
    testing::Values(
        ResolveCase{"plain file", "/sdcard/DCIM/a.jpg", true, K::storage, "DCIM/a.jpg", 0},
        ResolveCase{"second name of storage", "/storage/emulated/0/DCIM", true, K::storage, "DCIM",
                    0},
        ResolveCase{"third name of storage", "/storage/self/primary", true, K::storage, "", 0},
        ResolveCase{"relative paths start at the root", "sdcard//DCIM/./", true, K::storage, "DCIM",
                    0},
        ResolveCase{"dot-dot out of storage reaches the folders above", "/sdcard/../..", true,
                    K::folderAboveStorage, "", 0},
        ResolveCase{"dot-dot and back in", "/sdcard/DCIM/../../sdcard/DCIM", true, K::storage,
                    "DCIM", 0},
        ResolveCase{"dot-dot into the rest of the phone", "/sdcard/../etc/passwd", true,
                    K::elsewhere, "", 0},
        ResolveCase{"relative link inside", "/sdcard/inside/a.jpg", true, K::storage, "DCIM/a.jpg",
                    0},
        ResolveCase{"absolute device link inside", "/sdcard/absoluteInside/a.jpg", true, K::storage,
                    "DCIM/a.jpg", 0},
        ResolveCase{"dot-dot after a link is taken from the link's target", "/sdcard/inside/..",
                    true, K::storage, "", 0},
        ResolveCase{"host path in a link means a device path", "/sdcard/escapeAbsolute/secret.txt",
                    true, K::elsewhere, "", 0},
        ResolveCase{"relative link out of storage", "/sdcard/escapeRelative/secret.txt", true,
                    K::elsewhere, "", 0},
        ResolveCase{"link climbing far up", "/sdcard/escapeUpwards/passwd", true, K::elsewhere, "",
                    0},
        ResolveCase{"final link kept when not followed", "/sdcard/escapeRelative", false,
                    K::storage, "escapeRelative", 0},
        ResolveCase{"looping link", "/sdcard/loop", true, K::storage, "", ELOOP},
        ResolveCase{"looping link itself", "/sdcard/loop", false, K::storage, "loop", 0},
        ResolveCase{"missing folder then dot-dot", "/sdcard/missing/../../..", true,
                    K::folderAboveStorage, "", 0}));

TEST_F(StorageFixture, ReadingThroughEscapingLinksFindsNothing) {
    for (const char* path :
         {"/sdcard/escapeAbsolute/secret.txt", "/sdcard/escapeRelative/secret.txt",
          "/sdcard/../outside/secret.txt", "/sdcard/escapeUpwards/hostname"}) {
        int error = 0;
        EXPECT_FALSE(storage->openForReading(path, error).valid()) << path;
        EXPECT_EQ(error, ENOENT) << path;
        EXPECT_EQ(storage->status(path, true).error, ENOENT) << path;
    }
}

TEST_F(StorageFixture, CreatingOutsideStorageIsRefusedAndLeavesHostAlone) {
    for (const char* path :
         {"/sdcard/escapeAbsolute/new.txt", "/sdcard/escapeRelative/new.txt",
          "/sdcard/../../new.txt", "/storage/new.txt", "/data/local/tmp/new.txt"}) {
        int error = 0;
        EXPECT_FALSE(storage->createFile(path, 0644, error).file.valid()) << path;
        EXPECT_EQ(error, EACCES) << path;
        EXPECT_EQ(storage->createSymbolicLink(path, "x", 0), EACCES) << path;
    }
    EXPECT_EQ(fs::directory_entry(outside).exists(), true);
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(workspace), fs::directory_iterator()), 2);
    EXPECT_EQ(read(outside / "secret.txt"), "secret");
}

TEST_F(StorageFixture, CreatingMakesMissingParentsAndFollowsInsideLinks) {
    int error = 0;
    auto created = storage->createFile("/storage/emulated/0/new/deep/file.txt", 0644, error);
    ASSERT_TRUE(created.file.valid()) << error;
    EXPECT_TRUE(fs::is_regular_file(root / "new" / "deep" / "file.txt"));

    auto throughLink = storage->createFile("/sdcard/inside/b.txt", 0644, error);
    ASSERT_TRUE(throughLink.file.valid()) << error;
    EXPECT_TRUE(fs::is_regular_file(root / "DCIM" / "b.txt"));

    // A file where a folder is needed stops the creation.
    EXPECT_FALSE(storage->createFile("/sdcard/DCIM/a.jpg/c.txt", 0644, error).file.valid());
    EXPECT_EQ(error, ENOTDIR);
}

TEST_F(StorageFixture, SpecialFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0644), 0);
    int error = 0;
    EXPECT_FALSE(storage->openForReading("/sdcard/pipe", error).valid());
    EXPECT_EQ(error, EINVAL);
    auto created = storage->createFile("/sdcard/pipe", 0644, error);
    EXPECT_FALSE(created.file.valid());
    EXPECT_NE(error, 0);
    EXPECT_TRUE(created.name.empty()) << "a refused push must not remove what is there";
    EXPECT_TRUE(fs::is_fifo(root / "pipe"));

    EXPECT_FALSE(storage->openForReading("/sdcard/DCIM", error).valid());
    EXPECT_EQ(error, EISDIR);
    EXPECT_FALSE(storage->createFile("/sdcard/DCIM", 0644, error).file.valid());
    EXPECT_EQ(error, EISDIR);
    EXPECT_TRUE(fs::is_directory(root / "DCIM"));
}

TEST_F(StorageFixture, PushedLinkIsCreatedAsLinkWithItsTime) {
    ASSERT_EQ(storage->createSymbolicLink("/sdcard/DCIM/latest", "a.jpg", 1600000000), 0);
    EXPECT_EQ(fs::read_symlink(root / "DCIM" / "latest"), "a.jpg");
    struct stat info {};
    ASSERT_EQ(::lstat((root / "DCIM" / "latest").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1600000000);
    // A link pointing out is stored as written but leads nowhere outside.
    ASSERT_EQ(storage->createSymbolicLink("/sdcard/out", outside.string(), 0), 0);
    EXPECT_EQ(storage->status("/sdcard/out/secret.txt", true).error, ENOENT);
}

TEST_F(StorageFixture, ListsTheFoldersAboveStorageAndNothingElse) {
    auto names = [&](const char* path, int& error) {
        std::vector<std::string> found;
        for (const auto& entry : storage->list(path, error)) {
            found.push_back(entry.name);
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    int error = 0;
    EXPECT_EQ(names("/", error), (std::vector<std::string>{".", "..", "sdcard", "storage"}));
    EXPECT_EQ(names("/storage/emulated", error), (std::vector<std::string>{".", "..", "0"}));
    EXPECT_TRUE(names("/sdcard/escapeAbsolute", error).empty());
    EXPECT_EQ(error, ENOENT);
    const auto inside = names("/sdcard/inside", error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(inside, (std::vector<std::string>{".", "..", "a.jpg"}));
}

TEST_F(StorageFixture, ReportsSizesBeyondThirtyTwoBits) {
    const auto size = (std::uintmax_t{5} << 30) + 1;
    { std::ofstream create(root / "huge.bin"); }
    fs::resize_file(root / "huge.bin", size);
    const FileStatus status = storage->status("/sdcard/huge.bin", true);
    ASSERT_EQ(status.error, 0);
    EXPECT_EQ(static_cast<std::uintmax_t>(status.info.st_size), size);
}

} // namespace
