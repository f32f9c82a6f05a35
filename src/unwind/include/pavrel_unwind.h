/* libPavrelUnwind: for any address inside a loaded image, where that image's unwind
   information lies in memory, as an unwinder needs it to find the frames of a program counter. */
#ifndef PAVREL_UNWIND_H
#define PAVREL_UNWIND_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Five pointer-sized fields, in this order. A section that is absent has a null start and a
   length of 0. */
struct pavrel_unwind_sections {
    /* The loaded image's header: its Mach-O 64-bit header on macOS, its ELF header on Linux. */
    const void* image_header;
    /* The DWARF call-frame section: __TEXT,__eh_frame on macOS, .eh_frame on Linux, its length
       running up to and including the terminating zero-length record. */
    const void* call_frame_section;
    uintptr_t call_frame_section_length;
    /* The index over the image's frames: __TEXT,__unwind_info (compact unwind) on macOS; on
       Linux ELF's lookup table over the same call frames, .eh_frame_hdr (PT_GNU_EH_FRAME). */
    const void* compact_unwind_section;
    uintptr_t compact_unwind_section_length;
};

#if defined(__GNUC__)
#define PAVREL_UNWIND_EXPORT __attribute__((visibility("default")))
#else
#define PAVREL_UNWIND_EXPORT
#endif

/* Fills `out` for the image that contains `address` and returns 1. Returns 0 and leaves `out`
   untouched when no loaded image contains it. Keeps no state, takes no lock, allocates nothing;
   callable from any thread, as far as the dynamic loader's own lookups are. */
PAVREL_UNWIND_EXPORT int32_t pavrel_unwind_sections_v1(uintptr_t address,
                                                       struct pavrel_unwind_sections* out);

#ifdef __cplusplus
}
#endif

#endif
