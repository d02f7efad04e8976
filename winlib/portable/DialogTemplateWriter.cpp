// The byte layout of extended dialog templates, written little-endian one field at a time. A
// field that cannot be reserved (a text longer than a block) is never written through; the
// template is marked unusable instead of being cut, so a dialog is shown whole or not at all.
#include "DialogTemplateWriter.h"

#include <cstring>
#include <limits>

namespace {

constexpr std::uint16_t kTemplateVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kNoMenu = 0;
constexpr std::uint16_t kSystemDialogClass = 0;
constexpr std::uint32_t kNoHelpId = 0;
constexpr std::uint32_t kNoExStyle = 0;
constexpr std::uint16_t kNoCreationData = 0;
constexpr std::int32_t kPointsPerInch = 72;

void Store16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

// Sizes are truncated to 16 bits like the coordinates; inclusive right and bottom.
std::uint16_t Extent(std::int32_t from, std::int32_t to) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(to) -
                                      static_cast<std::uint32_t>(from) + 1u);
}

}  // namespace

std::int32_t MulDivRounded(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) {
        return -1;
    }
    std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    const std::int64_t result = product >= 0 ? (product + half) / divisor
                                             : (product - half) / divisor;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < -std::numeric_limits<std::int32_t>::max()) {
        return -1;
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t PointSizeFromHeight(std::int32_t height, std::int32_t pixelsPerInch) {
    if (height < 0) {
        return -MulDivRounded(height, kPointsPerInch, pixelsPerInch);
    }
    return height;
}

bool DialogTemplateWriter::Fail() {
    broken = true;
    return false;
}

bool DialogTemplateWriter::Put8(std::uint8_t value) {
    auto* at = static_cast<std::uint8_t*>(blocks.Append(1));
    if (!at) {
        return Fail();
    }
    *at = value;
    return true;
}

bool DialogTemplateWriter::Put16(std::uint16_t value) {
    auto* at = static_cast<std::uint8_t*>(blocks.Append(2));
    if (!at) {
        return Fail();
    }
    Store16(at, value);
    return true;
}

bool DialogTemplateWriter::Put32(std::uint32_t value) {
    auto* at = static_cast<std::uint8_t*>(blocks.Append(4));
    if (!at) {
        return Fail();
    }
    Store16(at, static_cast<std::uint16_t>(value & 0xFFFF));
    Store16(at + 2, static_cast<std::uint16_t>(value >> 16));
    return true;
}

bool DialogTemplateWriter::PutText(std::u16string_view text) {
    // Checked before multiplying: the units and their terminator must fit one block.
    if (text.size() >= TemplateBlocks::kBlockSize / 2) {
        return Fail();
    }
    auto* at = static_cast<std::uint8_t*>(blocks.Append((text.size() + 1) * 2));
    if (!at) {
        return Fail();
    }
    for (char16_t unit : text) {
        Store16(at, static_cast<std::uint16_t>(unit));
        at += 2;
    }
    return true;  // the terminator is already zero
}

bool DialogTemplateWriter::PutRect(const TemplateRect& rectangle) {
    return Put16(static_cast<std::uint16_t>(rectangle.left)) &&
           Put16(static_cast<std::uint16_t>(rectangle.top)) &&
           Put16(Extent(rectangle.left, rectangle.right)) &&
           Put16(Extent(rectangle.top, rectangle.bottom));
}

bool DialogTemplateWriter::WriteHeader(const TemplateRect& rectangle, std::u16string_view caption,
                                       const TemplateFont& font) {
    if (itemCount || broken) {
        return false;
    }
    if (!(Put16(kTemplateVersion) && Put16(kExtendedSignature) && Put32(kNoHelpId) &&
          Put32(kNoExStyle) && Put32(kHeaderStyle))) {
        return false;
    }
    auto* count = static_cast<std::uint8_t*>(blocks.Append(2));
    if (!count) {
        return Fail();
    }
    const bool written = PutRect(rectangle) && Put16(kNoMenu) && Put16(kSystemDialogClass) &&
                         PutText(caption) && Put16(font.pointSize) && Put16(font.weight) &&
                         Put8(font.italic) && Put8(font.charset) && PutText(font.faceName);
    if (!written) {
        return false;
    }
    itemCount = count;
    return true;
}

bool DialogTemplateWriter::WriteItem(const TemplateRect& rectangle, std::uint32_t style,
                                     std::uint32_t id, std::uint16_t classAtom,
                                     std::u16string_view text) {
    if (!Usable()) {
        return false;
    }
    const std::uint16_t count = ItemCount();
    if (count == std::numeric_limits<std::uint16_t>::max()) {
        return Fail();  // the header cannot count another item
    }
    const std::size_t misalignment = blocks.Size() % kItemAlignment;
    if (misalignment != 0 && !blocks.Append(kItemAlignment - misalignment)) {
        return Fail();
    }
    const bool written = Put32(kNoHelpId) && Put32(kNoExStyle) && Put32(style) &&
                         PutRect(rectangle) && Put32(id) && Put16(kClassMarker) &&
                         Put16(classAtom) && PutText(text) && Put16(kNoCreationData);
    if (!written) {
        return false;
    }
    Store16(itemCount, static_cast<std::uint16_t>(count + 1));
    return true;
}

std::uint16_t DialogTemplateWriter::ItemCount() const {
    if (!itemCount) {
        return 0;
    }
    return static_cast<std::uint16_t>(itemCount[0] | (itemCount[1] << 8));
}
