// The program and section headers of a 64-bit ELF file, read without the loader, to check what
// the library reports about the same image once it is loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ElfRange {
    std::uint64_t address = 0;
    std::uint64_t size = 0;
};

class ElfFileLayout {
public:
    // Both throw std::runtime_error when the bytes cannot be read or are not a 64-bit ELF file.
    static ElfFileLayout read(const std::string& path);
    // An image that exists only in memory, such as the vDSO, copied out whole.
    static ElfFileLayout parse(std::vector<char> bytes, const std::string& name);

    // The link-time address of the ELF header: where the loaded segment that maps file offset 0
    // puts it.
    std::uint64_t headerAddress() const;
    std::uint64_t entryAddress() const { return entry_; }
    std::optional<ElfRange> segment(std::uint32_t type) const;
    std::vector<ElfRange> segments(std::uint32_t type) const;
    std::optional<ElfRange> section(const std::string& name) const;
    std::string interpreter() const;

private:
    struct Segment {
        std::uint32_t type;
        std::uint64_t offset;
        std::uint64_t address;
        std::uint64_t size;
    };
    struct Section {
        std::string name;
        std::uint64_t address;
        std::uint64_t size;
    };

    std::vector<char> bytes_;
    std::uint64_t entry_ = 0;
    std::vector<Segment> segments_;
    std::vector<Section> sections_;
};
