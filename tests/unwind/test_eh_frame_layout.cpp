// Decoding encoded pointers, finding .eh_frame from its header and measuring it, over crafted
// bytes: the encodings and record shapes that the images on this machine do not happen to use.
#include "dwarf_encoded_pointer.h"
#include "eh_frame_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A value as the machine stores it, the way the linker writes it for this machine.
template <typename T> Bytes bytesOf(T value) {
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

uintptr_t addressOf(const Bytes& bytes) {
    return reinterpret_cast<uintptr_t>(bytes.data());
}

// What a decoded pointer counts from.
enum class Base { none, field, data };

struct DecodedPointerCase {
    const char* name;
    std::uint8_t encoding;
    Bytes field;
    Base base;
    std::uint64_t offset;
};

TEST(EncodedPointer, DecodesEveryValueFormatAndBase) {
    const DecodedPointerCase cases[] = {
        {"absolute pointer", DW_EH_PE_absptr, bytesOf<uintptr_t>(0x1122334455667788u), Base::none,
         0x1122334455667788u},
        {"unsigned 2 bytes", DW_EH_PE_udata2, bytesOf<std::uint16_t>(0xbeef), Base::none, 0xbeef},
        {"unsigned 4 bytes keep their top bit", DW_EH_PE_udata4, bytesOf<std::uint32_t>(0xdeadbeef),
         Base::none, 0xdeadbeef},
        {"unsigned 8 bytes", DW_EH_PE_udata8, bytesOf<std::uint64_t>(0x0102030405060708u),
         Base::none, 0x0102030405060708u},
        {"signed 2 bytes extend their sign", DW_EH_PE_sdata2, bytesOf<std::int16_t>(-2), Base::none,
         static_cast<std::uint64_t>(-2)},
        {"pc-relative 4 bytes forward", DW_EH_PE_pcrel | DW_EH_PE_sdata4,
         bytesOf<std::int32_t>(0x1000), Base::field, 0x1000},
        {"pc-relative 4 bytes backward", DW_EH_PE_pcrel | DW_EH_PE_sdata4,
         bytesOf<std::int32_t>(-0x20), Base::field, static_cast<std::uint64_t>(-0x20)},
        {"pc-relative 8 bytes backward", DW_EH_PE_pcrel | DW_EH_PE_sdata8,
         bytesOf<std::int64_t>(-8), Base::field, static_cast<std::uint64_t>(-8)},
        {"data-relative unsigned 4 bytes", DW_EH_PE_datarel | DW_EH_PE_udata4,
         bytesOf<std::uint32_t>(0x40), Base::data, 0x40},
        {"data-relative 4 bytes backward", DW_EH_PE_datarel | DW_EH_PE_sdata4,
         bytesOf<std::int32_t>(-16), Base::data, static_cast<std::uint64_t>(-16)},
        {"unsigned LEB128 of three bytes",
         DW_EH_PE_uleb128,
         {0xe5, 0x8e, 0x26},
         Base::none,
         624485},
        {"unsigned LEB128 of ten bytes reaching the top bit",
         DW_EH_PE_uleb128,
         {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01},
         Base::none,
         std::uint64_t{1} << 63},
        {"signed LEB128 negative",
         DW_EH_PE_sleb128,
         {0xc0, 0xbb, 0x78},
         Base::none,
         static_cast<std::uint64_t>(-123456)},
        {"signed LEB128 positive with bit 6 set needs two bytes",
         DW_EH_PE_sleb128,
         {0xc0, 0x00},
         Base::none,
         64},
        {"pc-relative signed LEB128 backward",
         DW_EH_PE_pcrel | DW_EH_PE_sleb128,
         {0x7f},
         Base::field,
         static_cast<std::uint64_t>(-1)},
    };
    const Bytes data(16);
    for (const DecodedPointerCase& decoded : cases) {
        SCOPED_TRACE(decoded.name);
        const uintptr_t field = addressOf(decoded.field);
        const uintptr_t base = decoded.base == Base::field  ? field
                               : decoded.base == Base::data ? addressOf(data)
                                                            : 0;
        uintptr_t value = 0;
        ASSERT_EQ(pavrel_read_encoded_pointer(field, field + decoded.field.size(), decoded.encoding,
                                              addressOf(data), &value),
                  1);
        EXPECT_EQ(value, base + static_cast<uintptr_t>(decoded.offset));
    }
}

TEST(EncodedPointer, RefusesValuesItCannotReadFromTheFieldAlone) {
    const struct {
        const char* name;
        std::uint8_t encoding;
        Bytes field;
    } cases[] = {
        {"omitted", DW_EH_PE_omit, bytesOf<std::int32_t>(8)},
        {"indirect", DW_EH_PE_indirect | DW_EH_PE_pcrel | DW_EH_PE_sdata4,
         bytesOf<std::int32_t>(8)},
        {"text-relative", DW_EH_PE_textrel | DW_EH_PE_udata4, bytesOf<std::uint32_t>(8)},
        {"function-relative", DW_EH_PE_funcrel | DW_EH_PE_udata4, bytesOf<std::uint32_t>(8)},
        {"aligned", DW_EH_PE_aligned, bytesOf<uintptr_t>(8)},
        {"unknown value format", 0x05, bytesOf<std::uint64_t>(8)},
        {"unknown relative base", 0x60 | DW_EH_PE_udata4, bytesOf<std::uint32_t>(8)},
        {"four-byte value cut at three bytes", DW_EH_PE_pcrel | DW_EH_PE_sdata4, {1, 2, 3}},
        {"absolute pointer cut by a byte", DW_EH_PE_absptr, Bytes(sizeof(uintptr_t) - 1, 1)},
        {"nothing to read", DW_EH_PE_udata2, {}},
        {"LEB128 without its last byte", DW_EH_PE_uleb128, {0x80, 0x80}},
        {"LEB128 longer than 64 bits",
         DW_EH_PE_uleb128,
         {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.name);
        const uintptr_t field = addressOf(refused.field);
        uintptr_t value = 0;
        EXPECT_EQ(pavrel_read_encoded_pointer(field, field + refused.field.size(), refused.encoding,
                                              field, &value),
                  0);
    }
}

// .eh_frame_hdr: version, eh_frame_ptr encoding, fde_count encoding, table encoding, then
// eh_frame_ptr.
Bytes frameIndexHeader(std::uint8_t version, std::uint8_t pointerEncoding, const Bytes& pointer) {
    return join({{version, pointerEncoding, DW_EH_PE_udata4, DW_EH_PE_datarel | DW_EH_PE_sdata4},
                 pointer,
                 bytesOf<std::uint32_t>(0)});
}

TEST(EhFrameStart, FollowsTheHeadersFramePointer) {
    const Bytes pcRelative =
        frameIndexHeader(1, DW_EH_PE_pcrel | DW_EH_PE_sdata4, bytesOf<std::int32_t>(0x100));
    EXPECT_EQ(pavrel_eh_frame_start(addressOf(pcRelative), pcRelative.size()),
              addressOf(pcRelative) + 4 + 0x100);

    const Bytes dataRelative =
        frameIndexHeader(1, DW_EH_PE_datarel | DW_EH_PE_udata4, bytesOf<std::uint32_t>(0x80));
    EXPECT_EQ(pavrel_eh_frame_start(addressOf(dataRelative), dataRelative.size()),
              addressOf(dataRelative) + 0x80);

    const Bytes absolute =
        frameIndexHeader(1, DW_EH_PE_absptr, bytesOf<uintptr_t>(0x7f0000001000u));
    EXPECT_EQ(pavrel_eh_frame_start(addressOf(absolute), absolute.size()), 0x7f0000001000u);
}

TEST(EhFrameStart, IsZeroForHeadersItCannotRead) {
    const Bytes usual =
        frameIndexHeader(1, DW_EH_PE_pcrel | DW_EH_PE_sdata4, bytesOf<std::int32_t>(64));
    const struct {
        const char* name;
        Bytes header;
        std::size_t size;
    } cases[] = {
        {"unknown version",
         frameIndexHeader(2, DW_EH_PE_pcrel | DW_EH_PE_sdata4, bytesOf<std::int32_t>(64)),
         usual.size()},
        {"omitted frame pointer", frameIndexHeader(1, DW_EH_PE_omit, {}), 8},
        {"shorter than its four fixed bytes", usual, 3},
        {"frame pointer cut by the header's size", usual, 6},
        {"empty", usual, 0},
    };
    for (const auto& unreadable : cases) {
        SCOPED_TRACE(unreadable.name);
        EXPECT_EQ(pavrel_eh_frame_start(addressOf(unreadable.header), unreadable.size), 0u);
    }
}

// Records with bodies of zeros, which must never be taken for terminators. An FDE names its
// CIE by the distance from its own CIE pointer field back to the CIE's start.
Bytes cie(std::uint32_t bodySize) {
    return join(
        {bytesOf<std::uint32_t>(4 + bodySize), bytesOf<std::uint32_t>(0), Bytes(bodySize, 0)});
}

Bytes fde(std::uint32_t distanceBackToCie, std::uint32_t bodySize) {
    return join({bytesOf<std::uint32_t>(4 + bodySize),
                 bytesOf<std::uint32_t>(distanceBackToCie + 4), Bytes(bodySize, 0)});
}

Bytes extendedFde(std::uint32_t distanceBackToCie, std::uint64_t bodySize) {
    return join({bytesOf<std::uint32_t>(0xffffffff), bytesOf<std::uint64_t>(4 + bodySize),
                 bytesOf<std::uint32_t>(distanceBackToCie + 12), Bytes(bodySize, 0)});
}

Bytes terminator() {
    return bytesOf<std::uint32_t>(0);
}

struct MeasuredCase {
    const char* name;
    Bytes frames;
    std::size_t limit;
    std::size_t expected;
};

void expectLengths(const std::vector<MeasuredCase>& cases) {
    for (const MeasuredCase& measured : cases) {
        SCOPED_TRACE(measured.name);
        ASSERT_LE(measured.limit, measured.frames.size());
        const uintptr_t start = addressOf(measured.frames);
        EXPECT_EQ(pavrel_eh_frame_length(start, start + measured.limit), measured.expected);
    }
}

TEST(EhFrameLength, RunsUpToAndIncludingTheTerminator) {
    const Bytes usual = join({cie(16), fde(24, 20), fde(52, 8), terminator()});
    const Bytes extended = join({cie(16), extendedFde(24, 36), fde(76, 8), terminator()});
    const Bytes trailing = join({cie(8), terminator(), cie(8)});
    expectLengths({
        {"terminator only", terminator(), 4, 4},
        {"CIE and FDEs", usual, usual.size(), 24 + 28 + 16 + 4},
        {"bytes after the terminator are not counted", trailing, trailing.size(), 16 + 4},
        {"64-bit extended length", extended, extended.size(), 24 + 52 + 16 + 4},
    });
}

// The dynamic loader's records fill their segment; the vDSO's run straight into its code.
TEST(EhFrameLength, EndsBeforeWhatIsNotARecord) {
    const Bytes records = join({cie(16), fde(24, 20)});
    const std::size_t recordsSize = records.size();
    const Bytes intoCode = join({records, bytesOf<std::uint32_t>(0xfa1e0ff3), Bytes(8, 0x90)});
    const Bytes tooShort = join({records, bytesOf<std::uint32_t>(2), Bytes(4, 0)});
    const Bytes pointingBeforeStart = join({records, fde(recordsSize + 1, 4), terminator()});
    const Bytes pointingAtItself = join({records, fde(0, 4), terminator()});
    const Bytes pointingAtStart = join({records, fde(recordsSize, 4), terminator()});
    const Bytes extendedCut = join({records, bytesOf<std::uint32_t>(0xffffffff), Bytes(4, 0)});
    const Bytes extendedPast = join(
        {records, bytesOf<std::uint32_t>(0xffffffff), bytesOf<std::uint64_t>(64), Bytes(8, 0)});
    const Bytes extendedWrapping = join({records, bytesOf<std::uint32_t>(0xffffffff),
                                         bytesOf<std::uint64_t>(UINT64_MAX - 11), Bytes(8, 0)});
    expectLengths({
        {"records filling the readable range", records, recordsSize, recordsSize},
        {"a length field cut by the limit", records, recordsSize - 2, 24},
        {"a record running past the limit", records, recordsSize - 1, 24},
        {"code after the records", intoCode, intoCode.size(), recordsSize},
        {"a record too short for its CIE pointer", tooShort, tooShort.size(), recordsSize},
        {"an FDE whose CIE lies before the start", pointingBeforeStart, pointingBeforeStart.size(),
         recordsSize},
        {"an FDE that names itself as its CIE", pointingAtItself, pointingAtItself.size(),
         recordsSize},
        {"an FDE whose CIE is the very first record", pointingAtStart, pointingAtStart.size(),
         recordsSize + 12 + 4},
        {"an extended length cut by the limit", extendedCut, extendedCut.size(), recordsSize},
        {"an extended length past the limit", extendedPast, extendedPast.size(), recordsSize},
        {"an extended length wrapping the address space", extendedWrapping, extendedWrapping.size(),
         recordsSize},
    });
}

TEST(EhFrameLength, IsZeroWithoutAWholeRecord) {
    const Bytes frames = join({cie(8), terminator()});
    const Bytes startingWithAnFde = join({fde(0, 8), terminator()});
    const Bytes hugeLength = join({bytesOf<std::uint32_t>(0xfffffff0), Bytes(8, 0)});
    expectLengths({
        {"empty range", frames, 0, 0},
        {"first record running past the limit", frames, 10, 0},
        {"first record an FDE", startingWithAnFde, startingWithAnFde.size(), 0},
        {"first length far past the limit", hugeLength, hugeLength.size(), 0},
    });
    EXPECT_EQ(pavrel_eh_frame_length(addressOf(frames) + 4, addressOf(frames)), 0u)
        << "a limit before the start";
}

} // namespace
