/* Where an image's .eh_frame starts, read from its .eh_frame_hdr, and how long it is, measured
   by walking its CIE and FDE records. Addresses are plain integers: the memory is the loaded
   image's, and every read stays inside the bounds the caller gives. */
#ifndef PAVREL_EH_FRAME_LAYOUT_H
#define PAVREL_EH_FRAME_LAYOUT_H

#include <stdint.h>

/* The start of .eh_frame named by the `size`-byte .eh_frame_hdr at `header`, or 0 when the
   header is not version 1 or its eh_frame_ptr cannot be decoded. */
uintptr_t pavrel_eh_frame_start(uintptr_t header, uintptr_t size);

/* The length of the records at `start` up to and including the zero-length terminator, reading
   nothing at or past `limit`. Records that end exactly at `limit` without a terminator count
   whole. 0 when a record or length field would cross `limit`. */
uintptr_t pavrel_eh_frame_length(uintptr_t start, uintptr_t limit);

#endif
