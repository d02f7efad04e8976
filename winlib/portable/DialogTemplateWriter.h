// Writes an extended in-memory dialog template (DLGTEMPLATEEX header, DLGITEMTEMPLATEEX items)
// field by field into TemplateBlocks. Pure code: the Win32 side supplies the font and the texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "TemplateBlocks.h"

// Inclusive rectangle in dialog units: width is right - left + 1.
struct TemplateRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The font fields of a template header, already reduced to what the format stores.
struct TemplateFont {
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    std::u16string faceName;
};

// The system's MulDiv: a * b / c rounded half away from zero, -1 when c is 0 or on overflow.
std::int32_t MulDivRounded(std::int32_t a, std::int32_t b, std::int32_t c);

// A template stores its font in points; a logical font gives a negative pixel height (character
// height) or a positive one taken as is.
std::int32_t PointSizeFromHeight(std::int32_t height, std::int32_t pixelsPerInch);

class DialogTemplateWriter {
public:
    // WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT: every template carries its font.
    static constexpr std::uint32_t kHeaderStyle = 0x00C800C0;
    static constexpr std::uint16_t kClassMarker = 0xFFFF;
    static constexpr std::size_t kItemAlignment = 4;

    // Writes the header with no items. False, and the template unusable, when a text does not
    // fit a block; false without any change when a header was already written.
    bool WriteHeader(const TemplateRect& rectangle,
                     std::u16string_view caption,
                     const TemplateFont& font);

    // Appends one item at the next multiple of 4 and counts it in the header. Refused (false)
    // without a header or once the template is unusable; an over-long text makes it unusable.
    bool WriteItem(const TemplateRect& rectangle,
                   std::uint32_t style,
                   std::uint32_t id,
                   std::uint16_t classAtom,
                   std::u16string_view text);

    // A header was written and nothing since has been refused: the bytes are a whole template.
    bool Usable() const { return itemCount != nullptr && !broken; }
    std::uint16_t ItemCount() const;

    TemplateBlocks& Blocks() { return blocks; }
    const TemplateBlocks& Blocks() const { return blocks; }

private:
    bool Put16(std::uint16_t value);
    bool Put32(std::uint32_t value);
    bool Put8(std::uint8_t value);
    bool PutText(std::u16string_view text);
    bool PutRect(const TemplateRect& rectangle);
    bool Fail();

    TemplateBlocks blocks;
    std::uint8_t* itemCount = nullptr;  // the header's cDlgItems, in place in the first block
    bool broken = false;
};
