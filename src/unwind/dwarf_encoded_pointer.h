/* Reading the pointers that .eh_frame_hdr and .eh_frame store in DW_EH_PE encodings: a value
   format in the low four bits, what the value is relative to in bits 4-6, indirection in bit 7. */
#ifndef PAVREL_DWARF_ENCODED_POINTER_H
#define PAVREL_DWARF_ENCODED_POINTER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    DW_EH_PE_absptr = 0x00,
    DW_EH_PE_uleb128 = 0x01,
    DW_EH_PE_udata2 = 0x02,
    DW_EH_PE_udata4 = 0x03,
    DW_EH_PE_udata8 = 0x04,
    DW_EH_PE_sleb128 = 0x09,
    DW_EH_PE_sdata2 = 0x0a,
    DW_EH_PE_sdata4 = 0x0b,
    DW_EH_PE_sdata8 = 0x0c,
    DW_EH_PE_pcrel = 0x10,
    DW_EH_PE_textrel = 0x20,
    DW_EH_PE_datarel = 0x30,
    DW_EH_PE_funcrel = 0x40,
    DW_EH_PE_aligned = 0x50,
    DW_EH_PE_indirect = 0x80,
    DW_EH_PE_omit = 0xff,
};

/* Decodes the pointer stored at `field` in `encoding` into `value`, reading nothing at or past
   `end`. `data_base` is what a data-relative value counts from. Returns 0 for an omitted value,
   a truncated or malformed one, and for encodings that need more than the field itself
   (indirect, text-, function-relative and aligned values). */
int pavrel_read_encoded_pointer(uintptr_t field, uintptr_t end, uint8_t encoding,
                                uintptr_t data_base, uintptr_t* value);

#ifdef __cplusplus
}
#endif

#endif
