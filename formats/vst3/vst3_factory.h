// What a VST3 module hands the host first: the factory that describes the
// classes in the module and makes instances of them.
#pragma once

#include "formats/vst3/vst3_base.h"

namespace vst3 {

struct FactoryInfo {
    static constexpr int32_t kUnicodeFlag = 1 << 4;  // names in the W records are UTF-16
    char vendor[64];
    char url[256];
    char email[128];
    int32_t flags;
};

struct ClassInfo {
    static constexpr int32_t kManyInstances = 0x7FFFFFFF;
    uint8_t cid[16];
    int32_t cardinality;
    char category[32];
    char name[64];
};

// ClassInfo with the subcategories, vendor and versions.
struct ClassInfo2 {
    uint8_t cid[16];
    int32_t cardinality;
    char category[32];
    char name[64];
    uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

// ClassInfo2 with the names in UTF-16.
struct ClassInfoW {
    uint8_t cid[16];
    int32_t cardinality;
    char category[32];
    char16 name[64];
    uint32_t classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
  public:
    virtual tresult getFactoryInfo(FactoryInfo* info) = 0;
    virtual int32_t countClasses() = 0;
    virtual tresult getClassInfo(int32_t index, ClassInfo* info) = 0;
    virtual tresult createInstance(const char* cid, const char* iid, void** object) = 0;
};
constexpr Uid kIPluginFactoryIid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

class IPluginFactory2 : public IPluginFactory {
  public:
    virtual tresult getClassInfo2(int32_t index, ClassInfo2* info) = 0;
};
constexpr Uid kIPluginFactory2Iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

class IPluginFactory3 : public IPluginFactory2 {
  public:
    virtual tresult getClassInfoUnicode(int32_t index, ClassInfoW* info) = 0;
    virtual tresult setHostContext(FUnknown* context) = 0;
};
constexpr Uid kIPluginFactory3Iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

// The records cross into the host as they are: their sizes are fixed.
static_assert(sizeof(FactoryInfo) == 452, "factory record");
static_assert(sizeof(ClassInfo) == 116, "class record");
static_assert(sizeof(ClassInfo2) == 440, "class record 2");
static_assert(sizeof(ClassInfoW) == 696, "class record W");

}  // namespace vst3
