// The foundation every VST3 interface stands on: 16-byte interface and class
// ids, result codes, UTF-16 strings and the reference-counted root interface.
// Declared here from the published interface facts; the plug-in uses no SDK.
//
// Two facts differ between Windows and the other systems, and the build says
// which set applies through TK42_VST3_COM_ABI (1 on Windows): the byte order
// of ids (Windows keeps COM's order, with the first three fields
// little-endian) and the numbers of the failure codes (Windows uses COM's
// HRESULTs, elsewhere small integers).
#pragma once

#include <cstdint>
#include <cstring>

#ifndef TK42_VST3_COM_ABI
#error "The build must say whether the VST3 interfaces use COM's ids and result codes"
#endif

namespace vst3 {

constexpr bool kComAbi = TK42_VST3_COM_ABI != 0;

using tresult = int32_t;
using TBool = uint8_t;
using char16 = char16_t;
using ParamId = uint32_t;
using ParamValue = double;

// Success is 0 and "done, but no" is 1 everywhere.
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kNoInterface = kComAbi ? static_cast<tresult>(0x80004002u) : -1;
constexpr tresult kInvalidArgument = kComAbi ? static_cast<tresult>(0x80070057u) : 2;
constexpr tresult kNotImplemented = kComAbi ? static_cast<tresult>(0x80004001u) : 3;
constexpr tresult kInternalError = kComAbi ? static_cast<tresult>(0x80004005u) : 4;
constexpr tresult kNotInitialized = kComAbi ? static_cast<tresult>(0x8000FFFFu) : 5;

// An id as its 16 bytes in memory, built from the four 32-bit words in
// which ids are written down.
struct Uid {
    uint8_t bytes[16];

    bool operator==(const Uid& other) const { return std::memcmp(bytes, other.bytes, 16) == 0; }
    bool matches(const void* raw) const { return raw && std::memcmp(bytes, raw, 16) == 0; }
};

constexpr uint8_t byteOf(uint32_t word, int shift) {
    return static_cast<uint8_t>((word >> shift) & 0xFFu);
}

constexpr Uid makeUid(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    if (kComAbi) {
        // COM's GUID: a 32-bit field and two 16-bit fields stored
        // little-endian, then eight bytes in order.
        return Uid{{byteOf(a, 0), byteOf(a, 8), byteOf(a, 16), byteOf(a, 24), byteOf(b, 16),
                    byteOf(b, 24), byteOf(b, 0), byteOf(b, 8), byteOf(c, 24), byteOf(c, 16),
                    byteOf(c, 8), byteOf(c, 0), byteOf(d, 24), byteOf(d, 16), byteOf(d, 8),
                    byteOf(d, 0)}};
    }
    return Uid{{byteOf(a, 24), byteOf(a, 16), byteOf(a, 8), byteOf(a, 0), byteOf(b, 24),
                byteOf(b, 16), byteOf(b, 8), byteOf(b, 0), byteOf(c, 24), byteOf(c, 16),
                byteOf(c, 8), byteOf(c, 0), byteOf(d, 24), byteOf(d, 16), byteOf(d, 8),
                byteOf(d, 0)}};
}

// A fixed-size UTF-16 field (names, titles, units): 128 units.
using String128 = char16[128];

// The root of every interface: ask for another interface by id, and count
// references. Interfaces are plain abstract classes without destructors, so
// their tables of functions have the layout hosts expect on both systems.
class FUnknown {
  public:
    virtual tresult queryInterface(const char* iid, void** object) = 0;
    virtual uint32_t addRef() = 0;
    virtual uint32_t release() = 0;
};
constexpr Uid kFUnknownIid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

// Initialised by the host with its context, and told when it is done.
class IPluginBase : public FUnknown {
  public:
    virtual tresult initialize(FUnknown* context) = 0;
    virtual tresult terminate() = 0;
};
constexpr Uid kIPluginBaseIid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

}  // namespace vst3
