// The lookup over real loaded images: every image's header and sections as reported, checked
// against the section headers of the same file (on disk, or in memory for the vDSO) shifted by
// the image's load bias.
#include "ElfFileLayout.h"
#include "pavrel_unwind.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>
#include <gnu/lib-names.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

int testExecutableGlobal = 5;

int testExecutableFunction(int value) {
    return value + testExecutableGlobal;
}

// A record full of a byte pattern, to see which fields a call wrote.
pavrel_unwind_sections patternedRecord() {
    pavrel_unwind_sections record;
    std::memset(&record, 0xa5, sizeof record);
    return record;
}

uintptr_t addressOf(const void* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

// An image to look up: its headers as its file has them, where it was loaded, an address
// inside it, and a handle that keeps it loaded meanwhile.
struct ImageUnderTest {
    std::shared_ptr<void> handle;
    ElfFileLayout file;
    uintptr_t bias;
    uintptr_t address;
};

using AddressInImage =
    std::function<uintptr_t(void* handle, const ElfFileLayout& file, uintptr_t bias)>;

// A loaded file: its path and load bias from the loader's own map, its layout from disk.
ImageUnderTest fileImage(void* opened, const AddressInImage& address) {
    if (opened == nullptr)
        throw std::runtime_error(std::string("dlopen: ") + dlerror());
    std::shared_ptr<void> handle(opened, dlclose);
    link_map* map = nullptr;
    if (dlinfo(handle.get(), RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
        throw std::runtime_error(std::string("dlinfo: ") + dlerror());
    std::string path = map->l_name;
    if (path.empty())
        path = std::filesystem::read_symlink("/proc/self/exe");
    ElfFileLayout file = ElfFileLayout::read(path);
    const uintptr_t inside = address(handle.get(), file, map->l_addr);
    return {handle, std::move(file), map->l_addr, inside};
}

// The vDSO has no file: its headers, sections included, are copied from where the kernel
// mapped it.
ImageUnderTest vdsoImage() {
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(getauxval(AT_SYSINFO_EHDR));
    if (header == nullptr)
        throw std::runtime_error("no vDSO");
    const std::size_t extent =
        std::max<std::size_t>(header->e_shoff + std::size_t{header->e_shnum} * header->e_shentsize,
                              header->e_phoff + std::size_t{header->e_phnum} * header->e_phentsize);
    const char* bytes = reinterpret_cast<const char*>(header);
    ElfFileLayout file = ElfFileLayout::parse(std::vector<char>(bytes, bytes + extent), "vDSO");
    const uintptr_t bias = addressOf(header) - file.headerAddress();
    const uintptr_t inside = bias + file.entryAddress();
    return {nullptr, std::move(file), bias, inside};
}

std::string dynamicLoaderPath() {
    return ElfFileLayout::read("/proc/self/exe").interpreter();
}

struct ImageCase {
    const char* name;
    std::function<ImageUnderTest()> image;
    bool hasFrameIndex;
};

std::vector<ImageCase> imageCases() {
    return {
        {"LibraryItself",
         [] {
             return fileImage(dlopen(PAVREL_UNWIND_LIBRARY, RTLD_NOW | RTLD_NOLOAD),
                              [](void* handle, const ElfFileLayout&, uintptr_t) {
                                  return addressOf(dlsym(handle, "pavrel_unwind_sections_v1"));
                              });
         },
         true},
        {"LibraryLastMappedByte",
         [] {
             return fileImage(dlopen(PAVREL_UNWIND_LIBRARY, RTLD_NOW | RTLD_NOLOAD),
                              [](void*, const ElfFileLayout& file, uintptr_t bias) {
                                  uintptr_t end = 0;
                                  for (const ElfRange& segment : file.segments(PT_LOAD))
                                      end =
                                          std::max<uintptr_t>(end, segment.address + segment.size);
                                  return bias + end - 1;
                              });
         },
         true},
        {"TestExecutableCode",
         [] {
             return fileImage(dlopen(nullptr, RTLD_NOW),
                              [](void*, const ElfFileLayout&, uintptr_t) {
                                  return reinterpret_cast<uintptr_t>(&testExecutableFunction);
                              });
         },
         true},
        {"TestExecutableData",
         [] {
             return fileImage(dlopen(nullptr, RTLD_NOW),
                              [](void*, const ElfFileLayout&, uintptr_t) {
                                  return addressOf(&testExecutableGlobal);
                              });
         },
         true},
        {"CLibrary",
         [] {
             return fileImage(dlopen(LIBC_SO, RTLD_NOW | RTLD_NOLOAD),
                              [](void* handle, const ElfFileLayout&, uintptr_t) {
                                  return addressOf(dlsym(handle, "qsort"));
                              });
         },
         true},
        // Its .eh_frame has no terminator; the records run to the end of their segment.
        {"DynamicLoader",
         [] {
             return fileImage(dlopen(dynamicLoaderPath().c_str(), RTLD_NOW | RTLD_NOLOAD),
                              [](void*, const ElfFileLayout& file, uintptr_t bias) {
                                  return bias + file.entryAddress();
                              });
         },
         true},
        // Its .eh_frame has no terminator either; its code follows the records directly.
        {"Vdso", vdsoImage, true},
        {"ImageWithoutFrameIndex",
         [] {
             return fileImage(dlopen(PAVREL_UNWIND_FIXTURE_WITHOUT_INDEX, RTLD_NOW | RTLD_LOCAL),
                              [](void* handle, const ElfFileLayout&, uintptr_t) {
                                  return addressOf(dlsym(handle, "fixture_image_value"));
                              });
         },
         false},
    };
}

void PrintTo(const ImageCase& imageCase, std::ostream* stream) {
    *stream << imageCase.name;
}

class UnwindSectionsOfImage : public testing::TestWithParam<ImageCase> {};

TEST_P(UnwindSectionsOfImage, MatchTheFileShiftedByTheLoadBias) {
    const ImageCase& imageCase = GetParam();
    const ImageUnderTest image = imageCase.image();
    const ElfFileLayout& file = image.file;
    ASSERT_NE(image.address, 0u);

    pavrel_unwind_sections record = patternedRecord();
    ASSERT_EQ(pavrel_unwind_sections_v1(image.address, &record), 1);

    EXPECT_EQ(addressOf(record.image_header), image.bias + file.headerAddress());
    EXPECT_EQ(std::memcmp(record.image_header, ELFMAG, SELFMAG), 0);

    if (!imageCase.hasFrameIndex) {
        ASSERT_FALSE(file.segment(PT_GNU_EH_FRAME)) << "the fixture must lack the index";
        ASSERT_TRUE(file.section(".eh_frame")) << "the fixture has frames, just no index";
        EXPECT_EQ(record.call_frame_section, nullptr);
        EXPECT_EQ(record.call_frame_section_length, 0u);
        EXPECT_EQ(record.compact_unwind_section, nullptr);
        EXPECT_EQ(record.compact_unwind_section_length, 0u);
        return;
    }
    const auto callFrames = file.section(".eh_frame");
    const auto frameIndex = file.section(".eh_frame_hdr");
    ASSERT_TRUE(callFrames && frameIndex);
    EXPECT_EQ(addressOf(record.call_frame_section), image.bias + callFrames->address);
    EXPECT_EQ(record.call_frame_section_length, callFrames->size);
    EXPECT_EQ(addressOf(record.compact_unwind_section), image.bias + frameIndex->address);
    EXPECT_EQ(record.compact_unwind_section_length, frameIndex->size);
}

INSTANTIATE_TEST_SUITE_P(LoadedImages, UnwindSectionsOfImage, testing::ValuesIn(imageCases()),
                         [](const testing::TestParamInfo<ImageCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(UnwindSectionsOutsideImages, ReturnZeroAndLeaveTheRecordUntouched) {
    int stackVariable = 0;
    const std::unique_ptr<char[]> smallHeapBlock(new char[32]);
    const std::unique_ptr<char[]> largeHeapBlock(new char[8 << 20]);
    const long pageSize = sysconf(_SC_PAGESIZE);
    void* anonymousPage =
        mmap(nullptr, pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(anonymousPage, MAP_FAILED);

    const struct {
        const char* name;
        uintptr_t address;
    } cases[] = {
        {"stack variable", addressOf(&stackVariable)},
        {"small heap block", addressOf(smallHeapBlock.get())},
        {"large heap block", addressOf(largeHeapBlock.get())},
        {"anonymous mapping", addressOf(anonymousPage)},
        {"null", 0},
        {"one", 1},
        {"small integer", 0x40},
        {"highest address", UINTPTR_MAX},
    };
    for (const auto& outside : cases) {
        SCOPED_TRACE(outside.name);
        pavrel_unwind_sections record = patternedRecord();
        const pavrel_unwind_sections before = record;
        EXPECT_EQ(pavrel_unwind_sections_v1(outside.address, &record), 0);
        EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    }
    munmap(anonymousPage, pageSize);
}

// Lookups run on an address inside an image that another thread keeps loading and unloading:
// each one sees the image whole or not at all, and none reads memory the loader has unmapped.
TEST(UnwindSectionsWhileImagesComeAndGo, LookupsSeeTheImageWholeOrNotAtAll) {
    std::atomic<uintptr_t> fixtureAddress{0};
    std::atomic<bool> loading{true};
    std::thread loader([&] {
        for (int round = 0; round < 3000; ++round) {
            void* handle = dlopen(PAVREL_UNWIND_FIXTURE_INDEXED, RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr)
                break;
            fixtureAddress = addressOf(dlsym(handle, "fixture_image_value"));
            dlclose(handle);
        }
        loading = false;
    });

    std::atomic<long> found{0};
    std::atomic<long> inconsistent{0};
    auto lookUp = [&] {
        while (loading) {
            const uintptr_t address = fixtureAddress;
            pavrel_unwind_sections record = patternedRecord();
            if (address == 0 || pavrel_unwind_sections_v1(address, &record) == 0)
                continue;
            ++found;
            const uintptr_t header = addressOf(record.image_header);
            const bool whole = header != 0 && header <= address && address - header < (1u << 20) &&
                               addressOf(record.call_frame_section) > header &&
                               record.call_frame_section_length > 0 &&
                               addressOf(record.compact_unwind_section) > header &&
                               record.compact_unwind_section_length > 0;
            if (!whole)
                ++inconsistent;
        }
    };
    std::thread firstLookups(lookUp);
    std::thread secondLookups(lookUp);
    loader.join();
    firstLookups.join();
    secondLookups.join();

    EXPECT_GT(found, 0) << "the lookups never overlapped a loaded fixture";
    EXPECT_EQ(inconsistent, 0);
}

} // namespace
