#include "eh_frame_layout.h"

#include "dwarf_encoded_pointer.h"

#include <string.h>

/* .eh_frame_hdr: version, eh_frame_ptr encoding, fde_count encoding, table encoding, then the
   encoded eh_frame_ptr. Data-relative values there count from the header's start. */
enum { eh_frame_hdr_version = 1, eh_frame_hdr_fixed_size = 4 };

/* A 32-bit length of all ones announces a 64-bit length in the next eight bytes. After the
   length, a CIE has a 4-byte id of 0; an FDE has a 4-byte distance back to its CIE instead. */
static const uint32_t extended_length_escape = 0xffffffffu;
enum { cie_pointer_size = 4 };

static uint32_t read32(uintptr_t address) {
    uint32_t value;
    memcpy(&value, (const void*)address, sizeof value);
    return value;
}

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

/* The size of the record at `cursor` whose 32-bit length is `length`, or 0 when it is not a
   CIE or FDE that ends by `limit`. */
static uint64_t record_size(uintptr_t start, uintptr_t cursor, uintptr_t limit, uint32_t length) {
    const uint64_t left = limit - cursor;
    uint64_t prefix = sizeof length;
    uint64_t body = length;
    if (length == extended_length_escape) {
        prefix += sizeof(uint64_t);
        if (left < prefix)
            return 0;
        memcpy(&body, (const void*)(cursor + sizeof length), sizeof body);
    }
    if (body < cie_pointer_size || body > left - prefix)
        return 0;
    const uintptr_t pointer_field = cursor + (uintptr_t)prefix;
    const uint32_t cie_pointer = read32(pointer_field);
    if (cie_pointer != 0 && (cie_pointer > pointer_field - start || cie_pointer <= prefix))
        return 0;
    return prefix + body;
}

uintptr_t pavrel_eh_frame_length(uintptr_t start, uintptr_t limit) {
    if (limit < start)
        return 0;
    uintptr_t cursor = start;
    while (limit - cursor >= sizeof(uint32_t)) {
        const uint32_t length = read32(cursor);
        if (length == 0)
            return cursor + sizeof length - start;
        const uint64_t size = record_size(start, cursor, limit, length);
        if (size == 0)
            break;
        cursor += (uintptr_t)size;
    }
    return cursor - start;
}
