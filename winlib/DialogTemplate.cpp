// In-memory dialog templates: the Win32 side of DialogTemplateWriter. Gathers the message font
// from the system's non-client metrics, converts wide texts, and runs the finished template.
#include "DialogTemplate.h"

#include <string>
#include <vector>

#include "MessageFont.h"

namespace {

// UTF-16 on Windows already: a copy unit by unit, no reinterpretation of the characters.
std::u16string ToUtf16(const wchar_t* text, size_t limit = static_cast<size_t>(-1)) {
    std::u16string units;
    if (text != nullptr) {
        for (size_t i = 0; i < limit && text[i] != L'\0'; ++i) {
            units.push_back(static_cast<char16_t>(text[i]));
        }
    }
    return units;
}

TemplateRect ToTemplateRect(const RECT& rectangle) {
    return {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom};
}

// Releases the screen's device context on every path out of Begin.
class ScreenDC {
public:
    ScreenDC() : dc(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc != nullptr) {
            ReleaseDC(nullptr, dc);
        }
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return dc; }

private:
    HDC dc;
};

}  // namespace

DialogTemplate::DialogTemplate(Window* parentWindow) {
    parent = parentWindow;
}

void* DialogTemplate::Append(size_t count) {
    return writer.Blocks().Append(count);
}

size_t DialogTemplate::Size() const {
    return writer.Blocks().Size();
}

bool DialogTemplate::CopyTo(void* buffer, size_t capacity) const {
    return writer.Blocks().CopyTo(buffer, capacity);
}

bool DialogTemplate::Begin(const RECT& rectangle, const wchar_t* caption) {
    ScreenDC screen;
    if (screen.Get() == nullptr) {
        return false;
    }
    LOGFONTW messageFont = {};
    if (!QueryMessageFont(messageFont)) {
        return false;
    }
    TemplateFont font;
    font.pointSize = static_cast<uint16_t>(
        PointSizeFromHeight(messageFont.lfHeight, GetDeviceCaps(screen.Get(), LOGPIXELSY)));
    font.weight = static_cast<uint16_t>(messageFont.lfWeight);
    font.italic = messageFont.lfItalic;
    font.charset = messageFont.lfCharSet;
    // The face name need not be terminated when it fills its array.
    font.faceName = ToUtf16(messageFont.lfFaceName, LF_FACESIZE);
    return writer.WriteHeader(ToTemplateRect(rectangle), ToUtf16(caption), font);
}

void DialogTemplate::AddItem(const RECT& rectangle,
                             DWORD style,
                             DWORD id,
                             WORD classAtom,
                             const wchar_t* text) {
    writer.WriteItem(ToTemplateRect(rectangle), style, id, classAtom, ToUtf16(text));
}

INT_PTR DialogTemplate::RunModal() {
    if (!writer.Usable()) {
        return kNotShown;
    }
    // DWORD elements: the dialog manager wants the template on a 4-byte boundary.
    const size_t size = Size();
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!CopyTo(copy.data(), copy.size() * sizeof(DWORD))) {
        return kNotShown;
    }
    modal = TRUE;
    INT_PTR result =
        DialogBoxIndirectParamW(moduleInstance, reinterpret_cast<const DLGTEMPLATE*>(copy.data()),
                                parent != nullptr ? parent->hwnd : nullptr, DialogProcedure,
                                reinterpret_cast<LPARAM>(this));
    return result;
}
