// A reader of extended dialog templates for the tests: walks the bytes the way the dialog manager
// does (header, then each item at the next multiple of 4) and fails loudly on anything
// malformed, so the writer is checked against the format rather than against itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct ReadItem {
    std::size_t offset = 0;
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::uint16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    std::uint16_t classMarker = 0;
    std::uint16_t classAtom = 0;
    std::u16string text;
    std::uint16_t extraCount = 0;
};

struct ReadTemplate {
    std::uint16_t dlgVer = 0, signature = 0;
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::uint16_t itemCount = 0;
    std::uint16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint16_t menu = 0, windowClass = 0;
    std::u16string title;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 0;
    std::u16string typeface;
    std::size_t headerEnd = 0;
    std::vector<ReadItem> items;
    std::size_t end = 0;  // where the last item's extraCount ends
};

class TemplateReader {
public:
    explicit TemplateReader(const std::vector<std::uint8_t>& bytes) : data(bytes) {}

    bool ok = true;

    std::uint8_t U8() {
        if (at + 1 > data.size()) {
            ok = false;
            return 0;
        }
        return data[at++];
    }
    std::uint16_t U16() {
        const std::uint16_t low = U8();
        return static_cast<std::uint16_t>(low | (U8() << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | (static_cast<std::uint32_t>(U16()) << 16);
    }
    std::u16string Text() {
        std::u16string text;
        for (;;) {
            const std::uint16_t unit = U16();
            if (!ok || unit == 0) {
                return text;
            }
            text.push_back(static_cast<char16_t>(unit));
        }
    }

    ReadTemplate Read() {
        ReadTemplate t;
        t.dlgVer = U16();
        t.signature = U16();
        t.helpId = U32();
        t.exStyle = U32();
        t.style = U32();
        t.itemCount = U16();
        t.x = U16();
        t.y = U16();
        t.cx = U16();
        t.cy = U16();
        t.menu = U16();
        t.windowClass = U16();
        t.title = Text();
        t.pointSize = U16();
        t.weight = U16();
        t.italic = U8();
        t.charset = U8();
        t.typeface = Text();
        t.headerEnd = at;
        for (unsigned i = 0; ok && i < t.itemCount; ++i) {
            while (at % 4 != 0) {
                if (U8() != 0) {
                    ADD_FAILURE() << "non-zero padding before item " << i;
                }
            }
            ReadItem item;
            item.offset = at;
            item.helpId = U32();
            item.exStyle = U32();
            item.style = U32();
            item.x = U16();
            item.y = U16();
            item.cx = U16();
            item.cy = U16();
            item.id = U32();
            item.classMarker = U16();
            item.classAtom = U16();
            item.text = Text();
            item.extraCount = U16();
            t.items.push_back(item);
        }
        t.end = at;
        return t;
    }

private:
    const std::vector<std::uint8_t>& data;
    std::size_t at = 0;
};
