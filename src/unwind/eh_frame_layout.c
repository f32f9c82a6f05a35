#include "eh_frame_layout.h"

#include "dwarf_encoded_pointer.h"

#include <string.h>

/* .eh_frame_hdr: version, eh_frame_ptr encoding, fde_count encoding, table encoding, then the
   encoded eh_frame_ptr. Data-relative values there count from the header's start. */
enum { eh_frame_hdr_version = 1, eh_frame_hdr_fixed_size = 4 };

/* A 32-bit length of all ones announces a 64-bit length in the next eight bytes. */
static const uint32_t extended_length_escape = 0xffffffffu;

uintptr_t pavrel_eh_frame_start(uintptr_t header, uintptr_t size) {
    if (size < eh_frame_hdr_fixed_size)
        return 0;
    const uint8_t* bytes = (const uint8_t*)header;
    if (bytes[0] != eh_frame_hdr_version)
        return 0;
    uintptr_t start;
    if (!pavrel_read_encoded_pointer(header + eh_frame_hdr_fixed_size, header + size, bytes[1],
                                     header, &start))
        return 0;
    return start;
}

uintptr_t pavrel_eh_frame_length(uintptr_t start, uintptr_t limit) {
    if (limit < start)
        return 0;
    uintptr_t cursor = start;
    while (cursor < limit) {
        const uintptr_t left = limit - cursor;
        uint32_t length;
        if (left < sizeof length)
            return 0;
        memcpy(&length, (const void*)cursor, sizeof length);
        if (length == 0)
            return cursor + sizeof length - start;

        uint64_t record_size;
        if (length == extended_length_escape) {
            uint64_t extended_length;
            const uint64_t prefix = sizeof length + sizeof extended_length;
            if (left < prefix)
                return 0;
            memcpy(&extended_length, (const void*)(cursor + sizeof length), sizeof extended_length);
            if (extended_length > left - prefix)
                return 0;
            record_size = prefix + extended_length;
        } else {
            if (length > left - sizeof length)
                return 0;
            record_size = sizeof length + (uint64_t)length;
        }
        cursor += (uintptr_t)record_size;
    }
    return cursor - start;
}
