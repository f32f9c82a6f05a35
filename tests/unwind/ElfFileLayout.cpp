#include "ElfFileLayout.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace {

template <typename T>
T readAt(const std::vector<char>& bytes, std::uint64_t offset, const std::string& path) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        throw std::runtime_error(path + ": truncated ELF file");
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

} // namespace

ElfFileLayout ElfFileLayout::read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error(path + ": cannot open");
    file.seekg(0, std::ios::end);
    std::vector<char> bytes(static_cast<std::size_t>(file.tellg()));
    file.seekg(0);
    if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error(path + ": cannot read");
    return parse(std::move(bytes), path);
}

ElfFileLayout ElfFileLayout::parse(std::vector<char> bytes, const std::string& path) {
    ElfFileLayout layout;
    layout.bytes_ = std::move(bytes);
    const auto header = readAt<Elf64_Ehdr>(layout.bytes_, 0, path);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        throw std::runtime_error(path + ": not a 64-bit ELF file");
    layout.entry_ = header.e_entry;

    for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
        const auto segment =
            readAt<Elf64_Phdr>(layout.bytes_, header.e_phoff + i * header.e_phentsize, path);
        layout.segments_.push_back(
            {segment.p_type, segment.p_offset, segment.p_vaddr, segment.p_memsz});
    }

    std::vector<Elf64_Shdr> sections;
    for (std::uint64_t i = 0; i < header.e_shnum; ++i)
        sections.push_back(
            readAt<Elf64_Shdr>(layout.bytes_, header.e_shoff + i * header.e_shentsize, path));
    if (header.e_shstrndx >= sections.size())
        return layout;
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    for (const Elf64_Shdr& section : sections) {
        const std::uint64_t nameOffset = names.sh_offset + section.sh_name;
        if (nameOffset >= layout.bytes_.size())
            throw std::runtime_error(path + ": section name outside the file");
        const char* name = layout.bytes_.data() + nameOffset;
        layout.sections_.push_back(
            {std::string(name, strnlen(name, layout.bytes_.size() - nameOffset)), section.sh_addr,
             section.sh_size});
    }
    return layout;
}

std::uint64_t ElfFileLayout::headerAddress() const {
    for (const Segment& segment : segments_) {
        if (segment.type == PT_LOAD && segment.offset == 0)
            return segment.address;
    }
    throw std::runtime_error("no loaded segment maps the ELF header");
}

std::optional<ElfRange> ElfFileLayout::segment(std::uint32_t type) const {
    for (const Segment& segment : segments_) {
        if (segment.type == type)
            return ElfRange{segment.address, segment.size};
    }
    return std::nullopt;
}

std::vector<ElfRange> ElfFileLayout::segments(std::uint32_t type) const {
    std::vector<ElfRange> found;
    for (const Segment& segment : segments_) {
        if (segment.type == type)
            found.push_back({segment.address, segment.size});
    }
    return found;
}

std::optional<ElfRange> ElfFileLayout::section(const std::string& name) const {
    for (const Section& section : sections_) {
        if (section.name == name)
            return ElfRange{section.address, section.size};
    }
    return std::nullopt;
}

std::string ElfFileLayout::interpreter() const {
    for (const Segment& segment : segments_) {
        if (segment.type != PT_INTERP)
            continue;
        if (segment.offset > bytes_.size() || bytes_.size() - segment.offset < segment.size)
            throw std::runtime_error("interpreter name outside the file");
        return std::string(bytes_.data() + segment.offset,
                           strnlen(bytes_.data() + segment.offset, segment.size));
    }
    return {};
}
