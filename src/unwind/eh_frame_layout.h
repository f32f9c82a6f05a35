/* Where an image's .eh_frame starts, read from its .eh_frame_hdr, and how long it is, measured
   by walking its CIE and FDE records. Addresses are plain integers: the memory is the loaded
   image's, and every read stays inside the bounds the caller gives. */
#ifndef PAVREL_EH_FRAME_LAYOUT_H
#define PAVREL_EH_FRAME_LAYOUT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The start of .eh_frame named by the `size`-byte .eh_frame_hdr at `header`, or 0 when the
   header is not version 1 or its eh_frame_ptr cannot be decoded. */
uintptr_t pavrel_eh_frame_start(uintptr_t header, uintptr_t size);

/* The length of the CIE and FDE records at `start` up to and including the zero-length
   terminator, reading nothing at or past `limit`. Not every image has the terminator: the
   dynamic loader's records run to the end of their segment, the vDSO's straight into its code.
   So the walk also ends at `limit` and before anything that is not a record (one that would
   cross `limit`, or an FDE whose CIE pointer does not lead back into the walked records), and
   then counts the whole records before it. 0 when there is not even one. */
uintptr_t pavrel_eh_frame_length(uintptr_t start, uintptr_t limit);

#ifdef __cplusplus
}
#endif

#endif
