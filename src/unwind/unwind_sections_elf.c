/* The lookup for ELF images: the call-frame section is .eh_frame, found through the image's
   PT_GNU_EH_FRAME segment (.eh_frame_hdr), which also serves as the index over the frames. */
#define _GNU_SOURCE
#include "pavrel_unwind.h"

#include "eh_frame_layout.h"

#include <dlfcn.h>
#include <link.h>
#include <stddef.h>
#include <unistd.h>

struct loaded_image {
    uintptr_t bias;
    const ElfW(Phdr) * program_headers;
    size_t program_header_count;
};

static const ElfW(Phdr) * find_segment(const struct loaded_image* image, ElfW(Word) type) {
    for (size_t i = 0; i < image->program_header_count; ++i) {
        if (image->program_headers[i].p_type == type)
            return &image->program_headers[i];
    }
    return NULL;
}

/* The end of the loaded segment that holds `address`, or 0 when none does: nothing outside
   the image's own mapped segments is ever read. */
static uintptr_t loaded_segment_end(const struct loaded_image* image, uintptr_t address) {
    for (size_t i = 0; i < image->program_header_count; ++i) {
        const ElfW(Phdr)* header = &image->program_headers[i];
        if (header->p_type != PT_LOAD)
            continue;
        const uintptr_t start = image->bias + header->p_vaddr;
        if (address >= start && address - start < header->p_memsz)
            return start + header->p_memsz;
    }
    return 0;
}

static void find_sections(const struct loaded_image* image, struct pavrel_unwind_sections* found) {
    const ElfW(Phdr)* index = find_segment(image, PT_GNU_EH_FRAME);
    if (index == NULL || index->p_memsz == 0)
        return;
    const uintptr_t header = image->bias + index->p_vaddr;
    const uintptr_t header_segment_end = loaded_segment_end(image, header);
    if (header_segment_end == 0 || header_segment_end - header < index->p_memsz)
        return;
    found->compact_unwind_section = (const void*)header;
    found->compact_unwind_section_length = index->p_memsz;

    const uintptr_t frames = pavrel_eh_frame_start(header, index->p_memsz);
    const uintptr_t frames_segment_end = frames != 0 ? loaded_segment_end(image, frames) : 0;
    if (frames_segment_end == 0)
        return;
    const uintptr_t length = pavrel_eh_frame_length(frames, frames_segment_end);
    if (length == 0)
        return;
    found->call_frame_section = (const void*)frames;
    found->call_frame_section_length = length;
}

struct image_lookup {
    uintptr_t base;
    uintptr_t page_size;
    struct pavrel_unwind_sections* found;
};

/* The loader maps an image from its first PT_LOAD segment rounded down to a page, and reports
   that address as the image's base; the same rule picks the image out of dl_iterate_phdr.
   The sections are read here, while the loader keeps the image from being unloaded. */
static int read_matching_image(struct dl_phdr_info* info, size_t size, void* data) {
    (void)size;
    const struct image_lookup* lookup = data;
    for (size_t i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)* header = &info->dlpi_phdr[i];
        if (header->p_type != PT_LOAD)
            continue;
        if (info->dlpi_addr + (header->p_vaddr & ~(lookup->page_size - 1)) != lookup->base)
            return 0;
        const struct loaded_image image = {
            .bias = info->dlpi_addr,
            .program_headers = info->dlpi_phdr,
            .program_header_count = info->dlpi_phnum,
        };
        find_sections(&image, lookup->found);
        return 1;
    }
    return 0;
}

int32_t pavrel_unwind_sections_v1(uintptr_t address, struct pavrel_unwind_sections* out) {
    Dl_info info;
    if (dladdr((const void*)address, &info) == 0 || info.dli_fbase == NULL)
        return 0;
    struct pavrel_unwind_sections found = {.image_header = info.dli_fbase};
    const struct image_lookup lookup = {
        .base = (uintptr_t)info.dli_fbase,
        .page_size = (uintptr_t)sysconf(_SC_PAGESIZE),
        .found = &found,
    };
    /* The image can be unloaded between the two lookups; then there is nothing to report. */
    if (dl_iterate_phdr(read_matching_image, (void*)&lookup) == 0)
        return 0;
    *out = found;
    return 1;
}
