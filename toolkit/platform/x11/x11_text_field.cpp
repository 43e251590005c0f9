// The pop-up text field on X11, a window of the module's own inside the
// frame window, over the text box. It draws with the software platform's
// text (the same as the panel's), opens with its text selected, and takes the
// keyboard focus from the host's window while open, handing it back when it
// closes.
//
// Keys: printable characters replace the selection or go in at the caret;
// Backspace and Delete; Left, Right, Home, End; Return reports Enter;
// Escape puts the opening text back and reports a focus loss, which commits
// nothing since nothing changed. Losing the focus reports a focus loss.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "toolkit/platform/software/software_text.h"
#include "toolkit/platform/text_field.h"
#include "toolkit/platform/text_field_client.h"
#include "toolkit/platform/x11/x11_frame_window.h"

namespace TKGUI {
namespace platform {

struct TextField {
    x11::FrameWindow* owner = nullptr;  // null once the frame window went
    xcb_window_t id = 0;
    CRect rect;  // in the frame window
    TextAlign align = TextAlign::left;
    Font* font = nullptr;
    size_t maxLength = 0;
    std::string text;
    std::string opening;
    size_t caret = 0;
    bool allSelected = true;
    TextFieldClient* client = nullptr;
    xcb_window_t previousFocus = XCB_NONE;
    std::vector<xcb_keysym_t> keysyms;
    uint8_t firstKeycode = 0;
    uint8_t keysymsPerKeycode = 0;
    int callbackDepth = 0;  // client calls in progress on the stack
    bool closed = false;
};

namespace {

constexpr uint32_t kFieldColor = 0xFFFFFFFFu;
constexpr uint32_t kTextColor = 0xFF000000u;
constexpr uint32_t kSelectionColor = 0xFF0078D7u;

void fill(Image& image, const CRect& r, uint32_t pixel) {
    const CRect area = r.intersection(CRect(0, 0, image.width, image.height));
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) image.at(x, y) = pixel;
    }
}

void drawLine(Image& image, const std::string& text, Font* font, int x, CColor color) {
    Device* device = createMemoryDevice(nullptr);
    selectImage(device, &image);
    selectFont(device, font);
    setTextColor(device, color);
    setBackgroundOpaque(device, false);
    drawText(device, text.c_str(), CRect(x, 0, image.width, image.height), TextAlign::left);
    deleteMemoryDevice(device);
}

// Draws the field and sends it to its window.
void show(TextField* field) {
    x11::FrameWindow* w = field->owner;
    if (!w || w->gone || w->retired) return;
    const int width = field->rect.width();
    const int height = field->rect.height();
    Image image(width, height);
    fill(image, CRect(0, 0, width, height), kFieldColor);

    const int textWidth = software::textWidth(field->font, field->text.c_str());
    int x = 1;
    if (field->align == TextAlign::center) {
        x = (width - textWidth) / 2;
    } else if (field->align == TextAlign::right) {
        x = width - 1 - textWidth;
    }
    // Long text scrolls so that the caret stays in the box.
    const int caretOffset =
        software::textWidth(field->font, field->text.substr(0, field->caret).c_str());
    if (x + caretOffset > width - 2) x = width - 2 - caretOffset;
    if (x + caretOffset < 1) x = 1 - caretOffset;

    if (field->allSelected && !field->text.empty()) {
        fill(image, CRect(x, 0, x + textWidth, height), kSelectionColor);
        drawLine(image, field->text, field->font, x, CColor{255, 255, 255, 255});
    } else {
        drawLine(image, field->text, field->font, x, CColor{0, 0, 0, 255});
        fill(image, CRect(x + caretOffset, 1, x + caretOffset + 1, height - 1), kTextColor);
    }

    xcb_put_image(w->connection, XCB_IMAGE_FORMAT_Z_PIXMAP, field->id, w->gc,
                  static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0, 0, 0, w->depth,
                  static_cast<uint32_t>(image.pixels.size() * 4),
                  reinterpret_cast<const uint8_t*>(image.pixels.data()));
    xcb_flush(w->connection);
}

void loadKeyboardMap(TextField* field, xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const uint8_t first = setup->min_keycode;
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - first + 1);
    xcb_get_keyboard_mapping_reply_t* reply =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr);
    if (!reply) return;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    field->keysyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
    field->firstKeycode = first;
    field->keysymsPerKeycode = reply->keysyms_per_keycode;
    free(reply);
}

// The key's symbol with Shift, Caps Lock and Num Lock (Mod2) applied.
xcb_keysym_t keysymOf(const TextField* field, uint8_t keycode, uint16_t state) {
    const size_t per = field->keysymsPerKeycode;
    if (per == 0 || keycode < field->firstKeycode) return 0;
    const size_t index = size_t(keycode - field->firstKeycode) * per;
    if (index + per > field->keysyms.size()) return 0;
    const xcb_keysym_t plain = field->keysyms[index];
    const xcb_keysym_t shifted = per > 1 ? field->keysyms[index + 1] : 0;
    const bool keypad = shifted >= 0xFF80 && shifted <= 0xFFBD;
    const bool shift = (state & XCB_MOD_MASK_SHIFT) != 0;
    if (keypad) return ((state & XCB_MOD_MASK_2) != 0) != shift ? shifted : plain;
    xcb_keysym_t sym = shift && shifted ? shifted : plain;
    if ((state & XCB_MOD_MASK_LOCK) && sym >= 'a' && sym <= 'z') sym -= 'a' - 'A';
    return sym;
}

// The character a keysym types, or 0.
char typedCharacter(xcb_keysym_t sym) {
    if (sym >= 0x20 && sym <= 0x7E) return static_cast<char>(sym);
    if (sym >= 0xFFB0 && sym <= 0xFFB9) return static_cast<char>('0' + (sym - 0xFFB0));
    switch (sym) {
        case 0xFFAA:
            return '*';
        case 0xFFAB:
            return '+';
        case 0xFFAD:
            return '-';
        case 0xFFAE:
            return '.';
        case 0xFFAF:
            return '/';
        default:
            return 0;
    }
}

void removeSelection(TextField* field) {
    if (!field->allSelected) return;
    field->text.clear();
    field->caret = 0;
    field->allSelected = false;
}

void keyPressed(TextField* field, xcb_key_press_event_t* key) {
    const xcb_keysym_t sym = keysymOf(field, key->detail, key->state);
    switch (sym) {
        case 0xFF0D:  // Return
        case 0xFF8D:  // keypad Enter
            callClient(field, [](TextFieldClient* c) { c->textFieldReturnPressed(); });
            return;
        case 0xFF1B:  // Escape
            field->text = field->opening;
            callClient(field, [](TextFieldClient* c) { c->textFieldFocusLost(); });
            return;
        case 0xFF08:  // BackSpace
            if (field->allSelected) {
                removeSelection(field);
            } else if (field->caret > 0) {
                field->text.erase(--field->caret, 1);
            }
            break;
        case 0xFFFF:  // Delete
        case 0xFF9F:  // keypad Delete
            if (field->allSelected) {
                removeSelection(field);
            } else if (field->caret < field->text.size()) {
                field->text.erase(field->caret, 1);
            }
            break;
        case 0xFF51:  // Left
        case 0xFF96:
            if (field->allSelected) {
                field->caret = 0;
            } else if (field->caret > 0) {
                --field->caret;
            }
            field->allSelected = false;
            break;
        case 0xFF53:  // Right
        case 0xFF98:
            if (field->allSelected) {
                field->caret = field->text.size();
            } else if (field->caret < field->text.size()) {
                ++field->caret;
            }
            field->allSelected = false;
            break;
        case 0xFF50:  // Home
        case 0xFF95:
            field->caret = 0;
            field->allSelected = false;
            break;
        case 0xFF57:  // End
        case 0xFF9C:
            field->caret = field->text.size();
            field->allSelected = false;
            break;
        default: {
            // Control and Alt combinations type nothing.
            if (key->state & (XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1)) return;
            const char c = typedCharacter(sym);
            if (!c) return;
            removeSelection(field);
            if (field->text.size() >= field->maxLength) break;
            field->text.insert(field->caret++, 1, c);
            break;
        }
    }
    show(field);
}

TextField* fieldOfEvent(x11::FrameWindow* w, xcb_generic_event_t* event) {
    TextField* field = w->field;
    if (!field) return nullptr;
    switch (event->response_type & 0x7F) {
        case XCB_KEY_PRESS:
            return reinterpret_cast<xcb_key_press_event_t*>(event)->event == field->id ? field
                                                                                       : nullptr;
        case XCB_BUTTON_PRESS:
            return reinterpret_cast<xcb_button_press_event_t*>(event)->event == field->id ? field
                                                                                          : nullptr;
        case XCB_FOCUS_OUT:
            return reinterpret_cast<xcb_focus_out_event_t*>(event)->event == field->id ? field
                                                                                       : nullptr;
        case XCB_EXPOSE:
            return reinterpret_cast<xcb_expose_event_t*>(event)->window == field->id ? field
                                                                                     : nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

TextField* openTextField(const TextFieldSpec& desc, TextFieldClient* client) {
    x11::FrameWindow* w = x11::currentFrameWindow();
    if (!w || w->field) return nullptr;
    xcb_connection_t* c = w->connection;
    const CPoint origin = windowScreenOrigin(w);
    CRect r = desc.screenRect;
    r.offset(-origin.x, -origin.y);
    if (r.width() < 2 || r.height() < 2 || r.width() > 0x7FFF || r.height() > 0x7FFF) {
        return nullptr;
    }

    auto* field = new TextField;
    field->owner = w;
    field->rect = r;
    field->align = desc.align;
    field->font = desc.font;
    field->maxLength = desc.maxLength > 0 ? size_t(desc.maxLength) : 0;
    field->text = desc.text ? desc.text : "";
    if (field->text.size() > field->maxLength) field->text.resize(field->maxLength);
    field->opening = field->text;
    field->caret = field->text.size();
    field->client = client;
    loadKeyboardMap(field, c);

    xcb_get_input_focus_reply_t* focus =
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (focus) {
        field->previousFocus = focus->focus;
        free(focus);
    }
    field->id = xcb_generate_id(c);
    const uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK;
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE,
                               XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS |
                                   XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, field->id, w->id, static_cast<int16_t>(r.left),
                      static_cast<int16_t>(r.top), static_cast<uint16_t>(r.width()),
                      static_cast<uint16_t>(r.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, mask, values);
    xcb_map_window(c, field->id);
    // Mapped first, so that the window is viewable when the focus request
    // is handled (requests are handled in order).
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, field->id, XCB_CURRENT_TIME);
    w->field = field;
    show(field);
    return field;
}

void getTextFieldText(TextField* field, char* text, int capacity) {
    if (!text || capacity <= 0) return;
    text[0] = 0;
    if (!field) return;
    const size_t n = std::min(field->text.size(), size_t(capacity - 1));
    field->text.copy(text, n);
    text[n] = 0;
}

void closeTextField(TextField* field) {
    if (!field || field->closed) return;
    field->client = nullptr;
    if (x11::FrameWindow* w = field->owner) {
        xcb_connection_t* c = w->connection;
        if (!w->gone) {
            // The focus goes back where it was before the field took it.
            if (field->previousFocus != XCB_NONE) {
                xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, field->previousFocus,
                                    XCB_CURRENT_TIME);
            }
            xcb_destroy_window(c, field->id);
            xcb_flush(c);
        }
        w->field = nullptr;
        field->owner = nullptr;
    }
    field->closed = true;
    if (field->callbackDepth == 0) delete field;
}

}  // namespace platform

namespace x11 {

bool isTextFieldEvent(FrameWindow* w, xcb_generic_event_t* event) {
    return platform::fieldOfEvent(w, event) != nullptr;
}

void handleTextFieldEvent(FrameWindow* w, xcb_generic_event_t* event) {
    platform::TextField* field = platform::fieldOfEvent(w, event);
    if (!field) return;
    switch (event->response_type & 0x7F) {
        case XCB_KEY_PRESS:
            platform::keyPressed(field, reinterpret_cast<xcb_key_press_event_t*>(event));
            break;
        case XCB_FOCUS_OUT: {
            auto* focus = reinterpret_cast<xcb_focus_out_event_t*>(event);
            // Focus moving into the field's own children, or a keyboard grab
            // of the window manager, is not the user leaving the field.
            if (focus->detail == XCB_NOTIFY_DETAIL_INFERIOR ||
                focus->detail == XCB_NOTIFY_DETAIL_POINTER || focus->mode == XCB_NOTIFY_MODE_GRAB ||
                focus->mode == XCB_NOTIFY_MODE_UNGRAB) {
                break;
            }
            platform::callClient(field,
                                 [](platform::TextFieldClient* c) { c->textFieldFocusLost(); });
            break;
        }
        case XCB_EXPOSE:
            platform::show(field);
            break;
        case XCB_BUTTON_PRESS:
            // A click in the field ends the selection and leaves the caret at
            // the end of the text.
            field->allSelected = false;
            field->caret = field->text.size();
            platform::show(field);
            break;
        default:
            break;
    }
}

void detachTextField(FrameWindow* w) {
    platform::TextField* field = w->field;
    if (!field) return;
    // The client hears nothing more; closeTextField later frees the record.
    if (!w->gone) xcb_destroy_window(w->connection, field->id);
    field->owner = nullptr;
    w->field = nullptr;
}

}  // namespace x11
}  // namespace TKGUI
