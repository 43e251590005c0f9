// A stand-in plug-in with an editor, for the screenshot path until the real
// editor exists: a child window painted green with a red square at (10, 10).
#include <windows.h>

#include <cstring>

#include "formats/vst2/aeffect.h"

namespace {

constexpr char kClass[] = "tk42host fake editor";
ERect editorRect = {0, 0, 60, 80};  // 80 x 60 pixels
HWND editorWindow = nullptr;

LRESULT CALLBACK paint(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, w, l);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT all{0, 0, 80, 60}, square{10, 10, 30, 30};
    HBRUSH green = CreateSolidBrush(RGB(10, 200, 30));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, green);
    FillRect(dc, &square, red);
    DeleteObject(green);
    DeleteObject(red);
    EndPaint(window, &ps);
    return 0;
}

intptr_t dispatch(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    switch (opcode) {
        case effEditGetRect:
            if (ptr) *static_cast<ERect**>(ptr) = &editorRect;
            return 1;
        case effEditOpen: {
            WNDCLASSA wc{};
            wc.lpfnWndProc = paint;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = kClass;
            RegisterClassA(&wc);
            editorWindow = CreateWindowA(kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 60,
                                         static_cast<HWND>(ptr), nullptr, wc.hInstance, nullptr);
            return editorWindow != nullptr;
        }
        case effEditClose:
            if (editorWindow) DestroyWindow(editorWindow);
            editorWindow = nullptr;
            return 1;
        case effClose:
            return 1;
        default:
            return 0;
    }
}

void process(AEffect*, float** in, float** out, int32_t frames) {
    for (int c = 0; c < 2; ++c) std::memmove(out[c], in[c], sizeof(float) * frames);
}

void setParameter(AEffect*, int32_t, float) {}
float getParameter(AEffect*, int32_t) {
    return 0.0f;
}

}  // namespace

extern "C" __declspec(dllexport) AEffect* VSTPluginMain(audioMasterCallback) {
    static AEffect effect;
    std::memset(&effect, 0, sizeof effect);
    effect.magic = kEffectMagic;
    effect.dispatcher = dispatch;
    effect.setParameter = setParameter;
    effect.getParameter = getParameter;
    effect.numInputs = effect.numOutputs = 2;
    effect.flags = effFlagsHasEditor | effFlagsCanReplacing;
    effect.processReplacing = process;
    effect.uniqueID = fourCharCode('F', 'a', 'k', 'E');
    return &effect;
}
