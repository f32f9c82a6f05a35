#include "dwarf_encoded_pointer.h"

#include <string.h>

/* Reads `size` bytes at `field` in the machine's byte order, as the linker wrote them. */
static int read_fixed(uintptr_t field, uintptr_t end, unsigned size, int is_signed, uint64_t* raw) {
    if (end < field || end - field < size)
        return 0;
    const void* bytes = (const void*)field;
    switch (size) {
    case 2: {
        uint16_t value;
        memcpy(&value, bytes, sizeof value);
        *raw = is_signed ? (uint64_t)(int64_t)(int16_t)value : value;
        return 1;
    }
    case 4: {
        uint32_t value;
        memcpy(&value, bytes, sizeof value);
        *raw = is_signed ? (uint64_t)(int64_t)(int32_t)value : value;
        return 1;
    }
    case 8: {
        uint64_t value;
        memcpy(&value, bytes, sizeof value);
        *raw = value;
        return 1;
    }
    default:
        return 0;
    }
}

static int read_leb128(uintptr_t field, uintptr_t end, int is_signed, uint64_t* raw) {
    uint64_t result = 0;
    unsigned shift = 0;
    for (uintptr_t cursor = field; cursor < end; ++cursor) {
        const uint8_t byte = *(const uint8_t*)cursor;
        if (shift >= 64)
            return 0;
        result |= (uint64_t)(byte & 0x7f) << shift;
        shift += 7;
        if ((byte & 0x80) == 0) {
            if (is_signed && shift < 64 && (byte & 0x40) != 0)
                result |= ~(uint64_t)0 << shift;
            *raw = result;
            return 1;
        }
    }
    return 0;
}

static int read_raw(uintptr_t field, uintptr_t end, uint8_t format, uint64_t* raw) {
    switch (format) {
    case DW_EH_PE_absptr:
        return read_fixed(field, end, sizeof(uintptr_t), 0, raw);
    case DW_EH_PE_uleb128:
        return read_leb128(field, end, 0, raw);
    case DW_EH_PE_udata2:
        return read_fixed(field, end, 2, 0, raw);
    case DW_EH_PE_udata4:
        return read_fixed(field, end, 4, 0, raw);
    case DW_EH_PE_udata8:
        return read_fixed(field, end, 8, 0, raw);
    case DW_EH_PE_sleb128:
        return read_leb128(field, end, 1, raw);
    case DW_EH_PE_sdata2:
        return read_fixed(field, end, 2, 1, raw);
    case DW_EH_PE_sdata4:
        return read_fixed(field, end, 4, 1, raw);
    case DW_EH_PE_sdata8:
        return read_fixed(field, end, 8, 1, raw);
    default:
        return 0;
    }
}

int pavrel_read_encoded_pointer(uintptr_t field, uintptr_t end, uint8_t encoding,
                                uintptr_t data_base, uintptr_t* value) {
    if (encoding == DW_EH_PE_omit || (encoding & DW_EH_PE_indirect) != 0)
        return 0;
    uint64_t raw;
    if (!read_raw(field, end, encoding & 0x0f, &raw))
        return 0;
    /* Relative values wrap like the linker's own arithmetic: a negative offset is a large one. */
    switch (encoding & 0x70) {
    case DW_EH_PE_absptr:
        *value = (uintptr_t)raw;
        return 1;
    case DW_EH_PE_pcrel:
        *value = field + (uintptr_t)raw;
        return 1;
    case DW_EH_PE_datarel:
        *value = data_base + (uintptr_t)raw;
        return 1;
    default:
        return 0;
    }
}
