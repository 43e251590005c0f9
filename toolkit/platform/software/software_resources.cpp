// The module's resources on the native platforms: images compiled into the
// binary (see embed_resources_function.cmake), found by number and type.
#include <cstring>

#include "toolkit/platform/software/software_script.h"

namespace TKGUI {

namespace software {

// Binaries that embed images replace this table with their own.
__attribute__((weak)) EmbeddedResourceTable embeddedResources() {
    return {nullptr, 0};
}

}  // namespace software

namespace platform {

bool findResource(int id, const char* type, const uint8_t** data, size_t* size) {
    software::EmbeddedResourceTable table = software::embeddedResources();
    for (size_t i = 0; i < table.count; ++i) {
        const software::EmbeddedResource& r = table.entries[i];
        if (r.id == id && type && std::strcmp(r.type, type) == 0) {
            if (data) *data = r.data;
            if (size) *size = r.size;
            return true;
        }
    }
    return false;
}

}  // namespace platform
}  // namespace TKGUI
