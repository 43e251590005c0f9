#include "toolkit/text_edit.h"

#include <cstdio>
#include <cstring>

#include "toolkit/font_table.h"
#include "toolkit/frame.h"

namespace TKGUI {

namespace {
constexpr int kMaxTextLength = 255;

// At most 255 characters, always terminated; to holds 256 bytes.
void copyText(char* to, const char* from) {
    size_t n = std::strlen(from);
    if (n > size_t(kMaxTextLength)) n = kMaxTextLength;
    std::memmove(to, from, n);
    to[n] = 0;
}
}  // namespace

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int32_t tag)
    : CParamDisplay(size) {
    this->listener = listener;
    this->tag = tag;
    focusWanted = true;
}

CTextEdit::~CTextEdit() {
    closeField();
}

void CTextEdit::setText(const char* newText) {
    if (newText) {
        if (std::strcmp(newText, text) == 0) return;
        copyText(text, newText);
        setDirty(true);
    } else if (text[0]) {
        text[0] = 0;
        setDirty(true);
    }
}

void CTextEdit::getText(char* out) const {
    if (out) std::strcpy(out, text);
}

void CTextEdit::setTextToText(TextToTextWithData convert) {
    textToTextWithData = convert;
}

void CTextEdit::setTextToText(TextToText convert) {
    textToText = convert;
}

void CTextEdit::draw(CDrawContext* context) {
    if (field) {
        setDirty(false);
        return;
    }
    char shown[256] = "";
    if (textToTextWithData) {
        textToTextWithData(text, shown, userData);
    } else if (textToText) {
        textToText(text, shown);
    } else if (valueToTextWithData) {
        valueToTextWithData(value, shown, userData);
        shown[sizeof shown - 1] = 0;
        copyText(text, shown);
    } else if (valueToText) {
        valueToText(value, shown);
        shown[sizeof shown - 1] = 0;
        copyText(text, shown);
    } else {
        std::snprintf(shown, sizeof shown, "%s", text);
    }
    shown[sizeof shown - 1] = 0;
    drawText(context, shown);
    setDirty(false);
}

void CTextEdit::mouseDown(CDrawContext* context, const CPoint& /*where*/, int buttons) {
    // Enabled, polled buttons, modifier question (even without the left
    // button), left button.
    if (!mouseStepEnabled()) return;
    mouseStepPoll(context, buttons);
    if (!mouseStepModifier(context, buttons)) return;
    if (!mouseStepLeft(buttons)) return;
    if (frame && frame->getFocusView() == this) return;
    if (style & kDoubleClickStyle) {
        const int32_t now = static_cast<int32_t>(frame ? frame->getTicks() : platform::tickCount());
        if (lastClickTime <= 0 || lastClickTime + doubleClickTime <= now) {
            lastClickTime = now;
            return;
        }
        lastClickTime = 0;
    }
    beginEdit();
    focusGained(context);
}

void CTextEdit::focusGained(CDrawContext* context) {
    returnPressed = false;
    if (field) return;  // already open: one field per control

    CRect r = size;
    for (CView* p = parentView; p; p = p->getParentView()) {
        if (p->notify(this, kMsgCheckIfViewContainer) == 1) {
            const CRect& pb = p->getBounds();
            r.offset(pb.left, pb.top);
        }
    }
    if (context) r.offset(context->getOffset().x, context->getOffset().y);
    const CPoint origin = platform::windowScreenOrigin(frame ? frame->getWindow() : nullptr);
    r.offset(origin.x, origin.y);

    const FontTableEntry& entry = fontTableEntry(fontId);
    platform::FontSpec font{};
    font.pixelHeight = entry.size < r.height() - 2 ? entry.size : r.height() - 2;
    font.weight = 400;
    font.face = entry.face;
    fieldFont = platform::createFont(font);

    platform::TextFieldSpec desc{};
    desc.screenRect = r;
    desc.text = text;
    desc.align = alignment == kLeftText    ? platform::TextAlign::left
                 : alignment == kRightText ? platform::TextAlign::right
                                           : platform::TextAlign::center;
    desc.font = fieldFont;
    desc.maxLength = kMaxTextLength;
    field = platform::openTextField(desc, this);
    if (!field && fieldFont) {
        platform::deleteFont(fieldFont);
        fieldFont = nullptr;
    }
}

void CTextEdit::closeField() {
    // Gone first: the platform may report a focus loss while it destroys the
    // field, and that must not commit a second time.
    platform::TextField* closing = field;
    field = nullptr;
    if (closing) platform::closeTextField(closing);
    if (fieldFont) platform::deleteFont(fieldFont);
    if (fieldBrush) platform::deleteBrush(fieldBrush);
    fieldFont = nullptr;
    fieldBrush = nullptr;
}

void CTextEdit::focusLost(CDrawContext* context) {
    endEdit();
    // Clearing the frame's focus calls this again from within: that inner
    // call commits, and this one then finds no field.
    retain();
    if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
    if (!field) {
        release();
        return;
    }

    char previous[256];
    copyText(previous, text);
    platform::getTextFieldText(field, text, kMaxTextLength + 1);
    closeField();

    CDrawContext* drawContext = context;
    CPoint savedOffset;
    bool madeContext = false;
    if (drawContext) {
        drawContext->retain();
    } else if (frame) {
        drawContext = new CDrawContext(frame, nullptr, frame->getWindow());
        madeContext = true;
    }
    if (madeContext && parentView) {
        savedOffset = drawContext->getOffset();
        CPoint origin;
        parentView->toFrame(origin);
        drawContext->setOffset(origin);
    }
    const bool changed = std::strcmp(previous, text) != 0;
    if (changed && listener) listener->valueChanged(drawContext, this);
    if (drawContext) {
        if (madeContext && parentView) drawContext->setOffset(savedOffset);
        drawContext->release();
    }
    if (changed) pumpIdle();

    if (parentView) {
        parentView->notify(this, kMsgLooseFocus);
    } else if (frame) {
        frame->notify(this, kMsgLooseFocus);
    }
    release();
}

void CTextEdit::textFieldReturnPressed() {
    returnPressed = true;
    focusLost(nullptr);
}

void CTextEdit::textFieldFocusLost() {
    focusLost(nullptr);
}

}  // namespace TKGUI
