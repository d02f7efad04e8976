// A dialog that describes itself in memory (extended template format) instead of in a dialog
// resource, with the user's message font.
#pragma once

#include <cstddef>

#include "Dialog.h"
#include "DialogTemplateWriter.h"

class DialogTemplate : public Dialog {
public:
    // What RunModal gives when it showed nothing: the template is incomplete, or the system
    // refused it. The same value as DialogBoxIndirectParamW's own failure.
    static constexpr INT_PTR kNotShown = -1;

    explicit DialogTemplate(Window* parentWindow);
    ~DialogTemplate() override = default;

    // Reserves count zero bytes at the end of the template; null when count exceeds a block.
    void* Append(size_t count);
    // Writes the header with the message font. False, with nothing written, when the screen's
    // device context or the non-client metrics cannot be had; also false when a text does not
    // fit, which leaves the template unusable.
    bool Begin(const RECT& rectangle, const wchar_t* caption);
    // Adds one control; refused without a usable header.
    void AddItem(const RECT& rectangle, DWORD style, DWORD id, WORD classAtom,
                 const wchar_t* text);
    size_t Size() const;
    bool CopyTo(void* buffer, size_t capacity) const;
    // Whether Begin succeeded and every item since was written whole.
    bool Usable() const { return writer.Usable(); }

    // Runs the dialog modally over the parent. The value given to EndDialog, or kNotShown when
    // nothing was shown (an unusable template included).
    INT_PTR RunModal();

private:
    DialogTemplateWriter writer;
};
