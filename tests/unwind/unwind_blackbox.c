/* Loads libPavrelUnwind by path, as an executable of the bundle would, and checks the record it
   gives for several loaded images and for addresses outside every image.
   Usage: test_unwind_blackbox PATH-TO-libPavrelUnwind.so */
#define _GNU_SOURCE
#include "pavrel_unwind.h"

#include <dlfcn.h>
#include <gnu/lib-names.h>
#include <link.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/auxv.h>

/* The record is part of the interface: five pointer-sized fields in this order. */
_Static_assert(sizeof(uintptr_t) == sizeof(void*), "lengths are pointer-sized");
_Static_assert(sizeof(struct pavrel_unwind_sections) == 5 * sizeof(void*), "five fields");
_Static_assert(offsetof(struct pavrel_unwind_sections, image_header) == 0, "field 1");
_Static_assert(offsetof(struct pavrel_unwind_sections, call_frame_section) == sizeof(void*),
               "field 2");
_Static_assert(offsetof(struct pavrel_unwind_sections, call_frame_section_length) ==
                   2 * sizeof(void*),
               "field 3");
_Static_assert(offsetof(struct pavrel_unwind_sections, compact_unwind_section) == 3 * sizeof(void*),
               "field 4");
_Static_assert(offsetof(struct pavrel_unwind_sections, compact_unwind_section_length) ==
                   4 * sizeof(void*),
               "field 5");

typedef int32_t (*lookup_function)(uintptr_t, struct pavrel_unwind_sections*);

static int failures;

static void check(int condition, const char* subject, const char* expectation) {
    if (!condition) {
        fprintf(stderr, "FAIL %s: %s\n", subject, expectation);
        ++failures;
    }
}

/* The image holding an address, found by the loader's program headers alone. */
struct expected_image {
    uintptr_t address;
    uintptr_t bias;
    const ElfW(Phdr) * program_headers;
    size_t program_header_count;
};

static int find_image(struct dl_phdr_info* info, size_t size, void* data) {
    (void)size;
    struct expected_image* image = data;
    for (size_t i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)* header = &info->dlpi_phdr[i];
        const uintptr_t start = info->dlpi_addr + header->p_vaddr;
        if (header->p_type == PT_LOAD && image->address >= start &&
            image->address - start < header->p_memsz) {
            image->bias = info->dlpi_addr;
            image->program_headers = info->dlpi_phdr;
            image->program_header_count = info->dlpi_phnum;
            return 1;
        }
    }
    return 0;
}

static const ElfW(Phdr) * segment_holding(const struct expected_image* image, uintptr_t address) {
    for (size_t i = 0; i < image->program_header_count; ++i) {
        const ElfW(Phdr)* header = &image->program_headers[i];
        const uintptr_t start = image->bias + header->p_vaddr;
        if (header->p_type == PT_LOAD && address >= start && address - start < header->p_memsz)
            return header;
    }
    return NULL;
}

static uint32_t read32(uintptr_t address) {
    uint32_t value;
    memcpy(&value, (const void*)address, sizeof value);
    return value;
}

static void check_call_frames(const char* name, const struct expected_image* image,
                              const struct pavrel_unwind_sections* record) {
    const uintptr_t frames = (uintptr_t)record->call_frame_section;
    const uintptr_t length = record->call_frame_section_length;
    const ElfW(Phdr)* segment = segment_holding(image, frames);
    check(segment != NULL, name, "call-frame section inside the image");
    if (segment == NULL || length < 4)
        return;
    const uintptr_t segment_end = image->bias + segment->p_vaddr + segment->p_memsz;
    check(length <= segment_end - frames, name, "call-frame section ends inside its segment");
    check(read32(frames) != 0 && read32(frames + 4) == 0, name,
          "call-frame section opens with a CIE");
    if (length > segment_end - frames)
        return;

    /* Step over whole records: the length must end on a record boundary, after the terminator,
       or, in images without one, where no further terminator or record follows. */
    const uintptr_t end = frames + length;
    uintptr_t cursor = frames;
    int terminated = 0;
    while (!terminated && cursor < end && end - cursor >= 4) {
        const uint32_t record_length = read32(cursor);
        terminated = record_length == 0;
        if (record_length == 0xffffffff && end - cursor >= 12) {
            uint64_t extended_length;
            memcpy(&extended_length, (const void*)(cursor + 4), sizeof extended_length);
            cursor += extended_length > end - cursor - 12 ? end - cursor + 1 : 12 + extended_length;
        } else {
            cursor += record_length > end - cursor - 4 ? end - cursor + 1 : 4 + record_length;
        }
    }
    check(cursor == end, name, "call-frame section ends on a record boundary");
    check(terminated || end == segment_end || segment_end - end < 4 || read32(end) != 0, name,
          "call-frame section includes its terminator");

    /* The linkers write eh_frame_ptr pc-relative as a signed 4-byte value. */
    const uint8_t* index = record->compact_unwind_section;
    if (index[1] == 0x1b) {
        const int32_t offset = (int32_t)read32((uintptr_t)index + 4);
        check((uintptr_t)index + 4 + (uintptr_t)(intptr_t)offset == frames, name,
              "call-frame section is where the index points");
    }
}

static void check_image(lookup_function lookup, const char* name, uintptr_t address) {
    const int earlier_failures = failures;
    struct expected_image image = {.address = address};
    if (dl_iterate_phdr(find_image, &image) == 0) {
        check(0, name, "the loader knows the image");
        return;
    }
    const ElfW(Phdr)* first_load = NULL;
    const ElfW(Phdr)* frame_index = NULL;
    for (size_t i = 0; i < image.program_header_count; ++i) {
        const ElfW(Phdr)* header = &image.program_headers[i];
        if (header->p_type == PT_LOAD && header->p_offset == 0 && first_load == NULL)
            first_load = header;
        if (header->p_type == PT_GNU_EH_FRAME)
            frame_index = header;
    }

    struct pavrel_unwind_sections record;
    memset(&record, 0xa5, sizeof record);
    check(lookup(address, &record) == 1, name, "found");
    check(first_load != NULL && (uintptr_t)record.image_header == image.bias + first_load->p_vaddr,
          name, "image header where the loader mapped file offset 0");
    check(memcmp(record.image_header, ELFMAG, SELFMAG) == 0, name, "image header is an ELF header");
    if (frame_index == NULL) {
        check(record.call_frame_section == NULL && record.call_frame_section_length == 0 &&
                  record.compact_unwind_section == NULL &&
                  record.compact_unwind_section_length == 0,
              name, "no sections without PT_GNU_EH_FRAME");
        return;
    }
    check((uintptr_t)record.compact_unwind_section == image.bias + frame_index->p_vaddr &&
              record.compact_unwind_section_length == frame_index->p_memsz,
          name, "index section is the PT_GNU_EH_FRAME segment");
    check_call_frames(name, &image, &record);
    if (failures == earlier_failures)
        printf("ok %s\n", name);
}

static void check_outside(lookup_function lookup, const char* name, uintptr_t address) {
    struct pavrel_unwind_sections record;
    struct pavrel_unwind_sections before;
    memset(&record, 0x5a, sizeof record);
    before = record;
    check(lookup(address, &record) == 0, name, "not found");
    check(memcmp(&record, &before, sizeof record) == 0, name, "record untouched");
}

static uintptr_t symbol_address(void* image, const char* symbol) {
    return (uintptr_t)dlsym(image, symbol);
}

static int program_function(int value) {
    return value * 2;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s PATH-TO-libPavrelUnwind\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == NULL) {
        fprintf(stderr, "FAIL loading: %s\n", dlerror());
        return 1;
    }
    void* symbol = dlsym(library, "pavrel_unwind_sections_v1");
    if (symbol == NULL) {
        fprintf(stderr, "FAIL pavrel_unwind_sections_v1 not exported: %s\n", dlerror());
        return 1;
    }
    lookup_function lookup;
    memcpy(&lookup, &symbol, sizeof lookup);
    void* c_library = dlopen(LIBC_SO, RTLD_NOW | RTLD_NOLOAD);

    check_image(lookup, "the library itself", (uintptr_t)symbol);
    int (*const in_program)(int) = program_function;
    check_image(lookup, "this program", (uintptr_t)in_program);
    check_image(lookup, "the C library", symbol_address(c_library, "qsort"));
    check_image(lookup, "the vDSO", (uintptr_t)getauxval(AT_SYSINFO_EHDR) + 1);

    int on_stack = 0;
    void* on_heap = malloc(64);
    check_outside(lookup, "stack", (uintptr_t)&on_stack);
    check_outside(lookup, "heap", (uintptr_t)on_heap);
    check_outside(lookup, "null", 0);
    check_outside(lookup, "small integer", 0x40);
    check_outside(lookup, "highest address", UINTPTR_MAX);
    free(on_heap);

    dlclose(c_library);
    dlclose(library);
    return failures == 0 ? 0 : 1;
}
