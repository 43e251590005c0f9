// Shared by the platforms' pop-up text fields: a client call may close the
// field (a commit that ends the edit), so the field is freed only once the
// outermost call on the stack has returned.
#pragma once

namespace TKGUI {
namespace platform {

// Calls the field's client; answers whether the field survived the call.
// Field needs client, callbackDepth and closed.
template <typename Field, typename Call>
bool callClient(Field* field, Call call) {
    ++field->callbackDepth;
    if (field->client) call(field->client);
    --field->callbackDepth;
    if (!field->closed) return true;
    if (field->callbackDepth == 0) delete field;
    return false;
}

}  // namespace platform
}  // namespace TKGUI
