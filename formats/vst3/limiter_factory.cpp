#include "formats/vst3/limiter_factory.h"

#include <cstring>
#include <new>

#include "formats/vst3/limiter_identity.h"
#include "formats/vst3/plugin_objects.h"
#include "formats/vst3/utf16_text.h"

namespace vst3 {

namespace {

constexpr int32_t kClassCount = 2;  // 0: the component, 1: the controller

const Uid& classIdOf(int32_t index) {
    return index == 0 ? kProcessorClassId : kControllerClassId;
}
const char* categoryOf(int32_t index) {
    return index == 0 ? kProcessorCategory : kControllerCategory;
}
const char* subCategoriesOf(int32_t index) {
    return index == 0 ? kSubCategories : "";
}

bool isClassIndex(int32_t index) {
    return index >= 0 && index < kClassCount;
}

// Hands out the interface asked for and drops the creator's reference: the
// caller then holds the only one, or nothing is left when the interface is
// not offered.
tresult handOut(FUnknown* made, const char* iid, void** object) {
    const tresult result = made->queryInterface(iid, object);
    made->release();
    return result;
}

}  // namespace

tresult LimiterFactory::queryInterface(const char* iid, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (!iid) return kNoInterface;
    if (kFUnknownIid.matches(iid) || kIPluginFactoryIid.matches(iid) ||
        kIPluginFactory2Iid.matches(iid) || kIPluginFactory3Iid.matches(iid)) {
        addRef();
        *object = static_cast<IPluginFactory3*>(this);
        return kResultOk;
    }
    return kNoInterface;
}

uint32_t LimiterFactory::addRef() {
    return references.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t LimiterFactory::release() {
    const uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult LimiterFactory::getFactoryInfo(FactoryInfo* info) {
    if (!info) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    copyText(kVendorName, info->vendor, sizeof info->vendor);
    copyText(kVendorUrl, info->url, sizeof info->url);
    copyText(kVendorEmail, info->email, sizeof info->email);
    info->flags = FactoryInfo::kUnicodeFlag;
    return kResultOk;
}

int32_t LimiterFactory::countClasses() {
    return kClassCount;
}

tresult LimiterFactory::getClassInfo(int32_t index, ClassInfo* info) {
    if (!info || !isClassIndex(index)) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, classIdOf(index).bytes, 16);
    info->cardinality = ClassInfo::kManyInstances;
    copyText(categoryOf(index), info->category, sizeof info->category);
    copyText(kPluginName, info->name, sizeof info->name);
    return kResultOk;
}

tresult LimiterFactory::getClassInfo2(int32_t index, ClassInfo2* info) {
    if (!info || !isClassIndex(index)) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, classIdOf(index).bytes, 16);
    info->cardinality = ClassInfo::kManyInstances;
    copyText(categoryOf(index), info->category, sizeof info->category);
    copyText(kPluginName, info->name, sizeof info->name);
    copyText(subCategoriesOf(index), info->subCategories, sizeof info->subCategories);
    copyText(kVendorName, info->vendor, sizeof info->vendor);
    copyText(kPluginVersion, info->version, sizeof info->version);
    copyText(kInterfaceVersion, info->sdkVersion, sizeof info->sdkVersion);
    return kResultOk;
}

tresult LimiterFactory::getClassInfoUnicode(int32_t index, ClassInfoW* info) {
    if (!info || !isClassIndex(index)) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, classIdOf(index).bytes, 16);
    info->cardinality = ClassInfo::kManyInstances;
    copyText(categoryOf(index), info->category, sizeof info->category);
    copyToUtf16(kPluginName, info->name, 64);
    copyText(subCategoriesOf(index), info->subCategories, sizeof info->subCategories);
    copyToUtf16(kVendorName, info->vendor, 64);
    copyToUtf16(kPluginVersion, info->version, 64);
    copyToUtf16(kInterfaceVersion, info->sdkVersion, 64);
    return kResultOk;
}

tresult LimiterFactory::createInstance(const char* cid, const char* iid, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (!cid || !iid) return kInvalidArgument;
    if (kProcessorClassId.matches(cid)) {
        LimiterComponent* made = new (std::nothrow) LimiterComponent();
        if (!made) return kInternalError;
        return handOut(static_cast<IComponent*>(made), iid, object);
    }
    if (kControllerClassId.matches(cid)) {
        StandaloneController* made = new (std::nothrow) StandaloneController();
        if (!made) return kInternalError;
        return handOut(static_cast<IEditController*>(made), iid, object);
    }
    return kNoInterface;
}

tresult LimiterFactory::setHostContext(FUnknown* /*context*/) {
    return kResultOk;
}

IPluginFactory* createLimiterFactory() {
    return new (std::nothrow) LimiterFactory();
}

}  // namespace vst3
