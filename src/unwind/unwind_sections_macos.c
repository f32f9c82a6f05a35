/* The lookup for Mach-O images: both sections are read from the image's own load commands. */
#ifdef __APPLE__
#include "pavrel_unwind.h"

#include <dlfcn.h>
#include <mach-o/getsect.h>
#include <mach-o/loader.h>
#include <stddef.h>

int32_t pavrel_unwind_sections_v1(uintptr_t address, struct pavrel_unwind_sections* out) {
    Dl_info info;
    if (dladdr((const void*)address, &info) == 0 || info.dli_fbase == NULL)
        return 0;
    const struct mach_header_64* header = (const struct mach_header_64*)info.dli_fbase;
    out->image_header = header;

    /* getsectiondata applies the image's slide; each size starts at 0 so that a missing section
       always reads as null and 0. */
    unsigned long call_frame_size = 0;
    const uint8_t* call_frame = getsectiondata(header, "__TEXT", "__eh_frame", &call_frame_size);
    out->call_frame_section = call_frame;
    out->call_frame_section_length = call_frame != NULL ? call_frame_size : 0;

    unsigned long compact_unwind_size = 0;
    const uint8_t* compact_unwind =
        getsectiondata(header, "__TEXT", "__unwind_info", &compact_unwind_size);
    out->compact_unwind_section = compact_unwind;
    out->compact_unwind_section_length = compact_unwind != NULL ? compact_unwind_size : 0;
    return 1;
}
#endif
