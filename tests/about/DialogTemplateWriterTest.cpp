// The in-memory dialog template: byte layout of header and items, the block storage under it,
// the point-size rule, and what happens to texts that cannot fit.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AboutLayout.h"
#include "DialogTemplateWriter.h"
#include "TemplateBlocks.h"
#include "TemplateReader.h"

namespace {

constexpr std::uint32_t kStaticStyle = 0x50000000;
constexpr std::uint32_t kButtonStyle = 0x50030001;
constexpr std::uint32_t kNoId = 0xFFFFFFFF;
constexpr std::uint16_t kStaticAtom = 0x0082;
constexpr std::uint16_t kButtonAtom = 0x0080;

TemplateFont MessageFont() {
    TemplateFont font;
    font.pointSize = 9;
    font.weight = 400;
    font.italic = 0;
    font.charset = 1;
    font.faceName = u"Tahoma";
    return font;
}

std::vector<std::uint8_t> Bytes(const TemplateBlocks& blocks) {
    std::vector<std::uint8_t> bytes(blocks.Size());
    EXPECT_TRUE(blocks.CopyTo(bytes.data(), bytes.size()));
    return bytes;
}

std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::u16string Utf16(const wchar_t* text) {
    std::u16string units;
    for (; *text != L'\0'; ++text) {
        units.push_back(static_cast<char16_t>(*text));
    }
    return units;
}

// The About box's template, written from the layout the box itself uses: the first case a
// reader of this code will look for. What it must come to is written out below.
void WriteAboutTemplate(DialogTemplateWriter& writer) {
    const TemplateItem& text = kAboutTextItem;
    const TemplateItem& ok = kAboutOkItem;
    EXPECT_TRUE(writer.WriteHeader(kAboutDialogRect, Utf16(kAboutCaption), MessageFont()));
    EXPECT_TRUE(
        writer.WriteItem(text.rectangle, text.style, text.id, text.classAtom, u"Ketterlin v1.0r5"));
    EXPECT_TRUE(writer.WriteItem(ok.rectangle, ok.style, ok.id, ok.classAtom, Utf16(kAboutOkText)));
}

}  // namespace

TEST(DialogTemplateWriter, AboutTemplateFieldByField) {
    DialogTemplateWriter writer;
    WriteAboutTemplate(writer);
    ASSERT_TRUE(writer.Usable());
    const std::vector<std::uint8_t> bytes = Bytes(writer.Blocks());
    TemplateReader reader(bytes);
    const ReadTemplate t = reader.Read();
    ASSERT_TRUE(reader.ok);

    EXPECT_EQ(t.dlgVer, 1);
    EXPECT_EQ(t.signature, 0xFFFF);
    EXPECT_EQ(t.helpId, 0u);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.style, 0x00C800C0u);
    EXPECT_EQ(t.itemCount, 2);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 201);
    EXPECT_EQ(t.cy, 41);
    EXPECT_EQ(t.menu, 0);
    EXPECT_EQ(t.windowClass, 0);
    EXPECT_EQ(t.title, u"About");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.weight, 400);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 1);
    EXPECT_EQ(t.typeface, u"Tahoma");

    // 30 bytes of fixed header, "About" and its zero (12), font fields (6), "Tahoma" and zero
    // (14): 62, so the first item starts after two bytes of padding.
    EXPECT_EQ(t.headerEnd, 62u);
    EXPECT_EQ(Le16(bytes, 16), 2);  // cDlgItems, in place
    ASSERT_EQ(t.items.size(), 2u);

    const ReadItem& text = t.items[0];
    EXPECT_EQ(text.offset, 64u);
    EXPECT_EQ(text.helpId, 0u);
    EXPECT_EQ(text.exStyle, 0u);
    EXPECT_EQ(text.style, kStaticStyle);
    EXPECT_EQ(text.x, 40);
    EXPECT_EQ(text.y, 10);
    EXPECT_EQ(text.cx, 100);
    EXPECT_EQ(text.cy, 10);
    EXPECT_EQ(text.id, kNoId);
    EXPECT_EQ(text.classMarker, 0xFFFF);
    EXPECT_EQ(text.classAtom, kStaticAtom);
    EXPECT_EQ(text.text, u"Ketterlin v1.0r5");
    EXPECT_EQ(text.extraCount, 0);

    // 64 + 28 + 34 (16 units and zero) + 2 = 128: already a multiple of 4.
    const ReadItem& ok = t.items[1];
    EXPECT_EQ(ok.offset, 128u);
    EXPECT_EQ(ok.style, kButtonStyle);
    EXPECT_EQ(ok.x, 145);
    EXPECT_EQ(ok.y, 8);
    EXPECT_EQ(ok.cx, 50);
    EXPECT_EQ(ok.cy, 12);
    EXPECT_EQ(ok.id, 1u);
    EXPECT_EQ(ok.classMarker, 0xFFFF);
    EXPECT_EQ(ok.classAtom, kButtonAtom);
    EXPECT_EQ(ok.text, u"OK");
    EXPECT_EQ(ok.extraCount, 0);

    EXPECT_EQ(t.end, bytes.size());
    EXPECT_EQ(bytes.size(), 164u);
}

TEST(DialogTemplateWriter, ItemsStartOnMultiplesOfFour) {
    // Texts of every length modulo 4 bytes, so every amount of padding (0 to 3) is needed.
    const std::u16string texts[] = {u"", u"a", u"ab", u"abc", u"abcd", u"abcde"};
    for (const std::u16string& caption : {std::u16string(u"A"), std::u16string(u"AB")}) {
        DialogTemplateWriter writer;
        ASSERT_TRUE(writer.WriteHeader({0, 0, 10, 10}, caption, MessageFont()));
        for (const std::u16string& text : texts) {
            ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 7, kStaticAtom, text));
        }
        const std::vector<std::uint8_t> bytes = Bytes(writer.Blocks());
        TemplateReader reader(bytes);
        const ReadTemplate t = reader.Read();
        ASSERT_TRUE(reader.ok);
        ASSERT_EQ(t.items.size(), std::size(texts));
        for (std::size_t i = 0; i < t.items.size(); ++i) {
            EXPECT_EQ(t.items[i].offset % 4, 0u) << "item " << i;
            EXPECT_EQ(t.items[i].text, texts[i]);
        }
        EXPECT_EQ(t.end, bytes.size());
    }
}

TEST(DialogTemplateWriter, RectanglesAreInclusiveAndTruncatedTo16Bits) {
    struct Case {
        TemplateRect rect;
        std::uint16_t x, y, cx, cy;
    };
    const Case cases[] = {
        {{0, 0, 200, 40}, 0, 0, 201, 41},
        {{40, 10, 139, 19}, 40, 10, 100, 10},
        {{5, 5, 5, 5}, 5, 5, 1, 1},
        {{0, 0, -1, -1}, 0, 0, 0, 0},
        {{-3, -4, 6, 5}, 0xFFFD, 0xFFFC, 10, 10},
        {{0, 0, 70000, 65535}, 0, 0, static_cast<std::uint16_t>(70001), 0},
    };
    for (const Case& c : cases) {
        DialogTemplateWriter writer;
        ASSERT_TRUE(writer.WriteHeader(c.rect, u"x", MessageFont()));
        ASSERT_TRUE(writer.WriteItem(c.rect, kStaticStyle, 1, kStaticAtom, u"y"));
        const std::vector<std::uint8_t> bytes = Bytes(writer.Blocks());
        TemplateReader reader(bytes);
        const ReadTemplate t = reader.Read();
        ASSERT_TRUE(reader.ok);
        EXPECT_EQ(t.x, c.x);
        EXPECT_EQ(t.y, c.y);
        EXPECT_EQ(t.cx, c.cx);
        EXPECT_EQ(t.cy, c.cy);
        ASSERT_EQ(t.items.size(), 1u);
        EXPECT_EQ(t.items[0].x, c.x);
        EXPECT_EQ(t.items[0].y, c.y);
        EXPECT_EQ(t.items[0].cx, c.cx);
        EXPECT_EQ(t.items[0].cy, c.cy);
    }
}

TEST(DialogTemplateWriter, PointSizeFromLogicalHeight) {
    struct Case {
        std::int32_t height, dpi, points;
    };
    const Case cases[] = {
        // clang-format off
        {-12, 96, 9},    // the usual message font
        {12, 96, 12},    // a positive height is taken as it is
        {0, 96, 0},
        {-11, 96, 8},    // 8.25 rounds down
        {-13, 96, 10},   // 9.75 rounds up
        {-15, 120, 9},
        {-16, 120, 10},  // 9.6
        {-12, 0, 1},     // no resolution: MulDiv's -1, negated
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PointSizeFromHeight(c.height, c.dpi), c.points)
            << c.height << " at " << c.dpi << " dpi";
    }
}

TEST(DialogTemplateWriter, MulDivRoundsLikeTheSystem) {
    struct Case {
        std::int32_t a, b, c, result;
    };
    const Case cases[] = {
        {5, 3, 2, 8},      {-5, 3, 2, -8},         {5, 3, -2, -8},
        {-5, -3, -2, -8},  {7, 1, 3, 2},           {8, 1, 3, 3},
        {1, 1, 0, -1},     {0x7FFFFFFF, 2, 1, -1}, {0x7FFFFFFF, 2, 2, 0x7FFFFFFF},
        {-12, 72, 96, -9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
    }
}

TEST(DialogTemplateWriter, ItemsNeedAHeaderAndOneHeaderOnly) {
    DialogTemplateWriter writer;
    EXPECT_FALSE(writer.Usable());
    EXPECT_FALSE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, u"x"));
    EXPECT_EQ(writer.Blocks().Size(), 0u);

    ASSERT_TRUE(writer.WriteHeader({0, 0, 1, 1}, u"x", MessageFont()));
    const std::size_t headerSize = writer.Blocks().Size();
    EXPECT_FALSE(writer.WriteHeader({0, 0, 1, 1}, u"again", MessageFont()));
    EXPECT_EQ(writer.Blocks().Size(), headerSize);
    EXPECT_TRUE(writer.Usable());
    EXPECT_EQ(writer.ItemCount(), 0);
}

TEST(DialogTemplateWriter, TextThatCannotFitABlockMakesTheTemplateUnusable) {
    // 32,767 units and the zero are exactly one block; one more unit cannot be placed.
    const std::u16string longest(32767, u'w');
    const std::u16string tooLong(32768, u'w');

    {
        DialogTemplateWriter writer;
        EXPECT_TRUE(writer.WriteHeader({0, 0, 1, 1}, longest, MessageFont()));
        EXPECT_TRUE(writer.Usable());
        EXPECT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, longest));
        const std::vector<std::uint8_t> bytes = Bytes(writer.Blocks());
        TemplateReader reader(bytes);
        const ReadTemplate t = reader.Read();
        ASSERT_TRUE(reader.ok);
        EXPECT_EQ(t.title, longest);
        ASSERT_EQ(t.items.size(), 1u);
        EXPECT_EQ(t.items[0].text, longest);
    }
    {
        SCOPED_TRACE("caption");
        DialogTemplateWriter writer;
        EXPECT_FALSE(writer.WriteHeader({0, 0, 1, 1}, tooLong, MessageFont()));
        EXPECT_FALSE(writer.Usable());
        EXPECT_FALSE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, u"x"));
        EXPECT_EQ(writer.ItemCount(), 0);
    }
    {
        SCOPED_TRACE("face name");
        TemplateFont font = MessageFont();
        font.faceName = tooLong;
        DialogTemplateWriter writer;
        EXPECT_FALSE(writer.WriteHeader({0, 0, 1, 1}, u"x", font));
        EXPECT_FALSE(writer.Usable());
    }
    {
        SCOPED_TRACE("item text");
        DialogTemplateWriter writer;
        ASSERT_TRUE(writer.WriteHeader({0, 0, 1, 1}, u"x", MessageFont()));
        ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, u"a"));
        EXPECT_FALSE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 2, kStaticAtom, tooLong));
        EXPECT_FALSE(writer.Usable());
        EXPECT_EQ(writer.ItemCount(), 1);  // the refused item is not counted
        EXPECT_FALSE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 3, kStaticAtom, u"b"));
        EXPECT_EQ(writer.ItemCount(), 1);
    }
}

TEST(DialogTemplateWriter, TemplateFillingABlockExactlyContinuesInTheNext) {
    DialogTemplateWriter writer;
    ASSERT_TRUE(writer.WriteHeader({0, 0, 200, 40}, u"About", MessageFont()));
    // An item of n text units takes 32 + 2n bytes; with even n it keeps the next item aligned.
    const std::u16string filler(1000, u'f');
    int items = 0;
    while (TemplateBlocks::kBlockSize - writer.Blocks().Size() >= 32 + 2 * 1000 + 32) {
        ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, filler));
        ++items;
    }
    const std::size_t remaining = TemplateBlocks::kBlockSize - writer.Blocks().Size();
    ASSERT_EQ(remaining % 4, 0u);
    const std::u16string exact((remaining - 32) / 2, u'e');
    ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 2, kStaticAtom, exact));
    ++items;
    EXPECT_EQ(writer.Blocks().Size(), TemplateBlocks::kBlockSize);
    EXPECT_EQ(writer.Blocks().BlockCount(), 1u);

    ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kButtonStyle, 1, kButtonAtom, u"OK"));
    ++items;
    EXPECT_EQ(writer.Blocks().BlockCount(), 2u);
    EXPECT_EQ(writer.Blocks().Size(), TemplateBlocks::kBlockSize + 36);

    const std::vector<std::uint8_t> bytes = Bytes(writer.Blocks());
    TemplateReader reader(bytes);
    const ReadTemplate t = reader.Read();
    ASSERT_TRUE(reader.ok);
    EXPECT_EQ(t.itemCount, items);
    ASSERT_EQ(t.items.size(), static_cast<std::size_t>(items));
    EXPECT_EQ(t.items[items - 2].text, exact);
    EXPECT_EQ(t.items[items - 1].offset, TemplateBlocks::kBlockSize);
    EXPECT_EQ(t.items[items - 1].text, u"OK");
    EXPECT_EQ(t.end, bytes.size());
}

TEST(DialogTemplateWriter, FieldThatDoesNotFitMovesWholeToTheNextBlock) {
    DialogTemplateWriter writer;
    ASSERT_TRUE(writer.WriteHeader({0, 0, 1, 1}, u"x", MessageFont()));
    // Leave 100 bytes in the first block, then add an item whose text needs more than that.
    const std::u16string filler(1000, u'f');
    while (TemplateBlocks::kBlockSize - writer.Blocks().Size() > 2100) {
        ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, filler));
    }
    const std::size_t before = writer.Blocks().Size();
    const std::size_t remaining = TemplateBlocks::kBlockSize - before;
    const std::u16string big(remaining / 2, u'b');  // fixed fields fit, the text does not
    ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 9, kStaticAtom, big));
    ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 10, kStaticAtom, u"after"));
    EXPECT_EQ(writer.Blocks().BlockCount(), 2u);

    const std::vector<std::uint8_t> bytes = Bytes(writer.Blocks());
    TemplateReader reader(bytes);
    const ReadTemplate t = reader.Read();
    ASSERT_TRUE(reader.ok);
    ASSERT_GE(t.items.size(), 2u);
    EXPECT_EQ(t.items[t.items.size() - 2].id, 9u);
    EXPECT_EQ(t.items[t.items.size() - 2].text, big);
    EXPECT_EQ(t.items.back().text, u"after");
    EXPECT_EQ(t.end, bytes.size());
}

TEST(DialogTemplateWriter, ItemCountStopsAtItsSixteenBitLimit) {
    DialogTemplateWriter writer;
    ASSERT_TRUE(writer.WriteHeader({0, 0, 1, 1}, u"x", MessageFont()));
    for (int i = 0; i < 0xFFFF; ++i) {
        ASSERT_TRUE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, u"")) << i;
    }
    EXPECT_EQ(writer.ItemCount(), 0xFFFF);
    EXPECT_FALSE(writer.WriteItem({0, 0, 1, 1}, kStaticStyle, 1, kStaticAtom, u""));
    EXPECT_FALSE(writer.Usable());
    EXPECT_EQ(writer.ItemCount(), 0xFFFF);
}

TEST(TemplateBlocks, AppendFillsBlocksWithoutSplittingAField) {
    TemplateBlocks blocks;
    EXPECT_EQ(blocks.Size(), 0u);
    EXPECT_EQ(blocks.BlockCount(), 1u);

    auto* first = static_cast<std::uint8_t*>(blocks.Append(65534));
    ASSERT_NE(first, nullptr);
    for (std::size_t i = 0; i < 65534; ++i) {
        ASSERT_EQ(first[i], 0) << "blocks start zero-filled";
    }
    std::memset(first, 0x11, 65534);

    // Four bytes do not fit the two that are left: they start a new block and the two bytes at
    // the end of the first block are not part of the template.
    auto* second = static_cast<std::uint8_t*>(blocks.Append(4));
    ASSERT_NE(second, nullptr);
    std::memset(second, 0x22, 4);
    EXPECT_EQ(blocks.BlockCount(), 2u);
    EXPECT_EQ(blocks.Size(), 65538u);

    auto* third = static_cast<std::uint8_t*>(blocks.Append(2));
    ASSERT_EQ(third, second + 4) << "bytes follow on in the same block";
    third[0] = 0x33;

    std::vector<std::uint8_t> copy(blocks.Size() + 5, 0xEE);
    ASSERT_TRUE(blocks.CopyTo(copy.data(), copy.size()));
    EXPECT_EQ(copy[0], 0x11);
    EXPECT_EQ(copy[65533], 0x11);
    EXPECT_EQ(copy[65534], 0x22);
    EXPECT_EQ(copy[65537], 0x22);
    EXPECT_EQ(copy[65538], 0x33);
    EXPECT_EQ(copy[65539], 0x00);
    EXPECT_EQ(copy[65540], 0xEE) << "nothing written past the template";

    EXPECT_EQ(first[0], 0x11) << "earlier bytes never move";
}

TEST(TemplateBlocks, ExactFillAndOversizedRequests) {
    TemplateBlocks blocks;
    ASSERT_NE(blocks.Append(TemplateBlocks::kBlockSize), nullptr);
    EXPECT_EQ(blocks.BlockCount(), 1u);
    EXPECT_EQ(blocks.Size(), TemplateBlocks::kBlockSize);

    EXPECT_EQ(blocks.Append(TemplateBlocks::kBlockSize + 1), nullptr);
    EXPECT_EQ(blocks.BlockCount(), 1u) << "a refused request allocates nothing";
    EXPECT_EQ(blocks.Size(), TemplateBlocks::kBlockSize);

    ASSERT_NE(blocks.Append(1), nullptr);
    EXPECT_EQ(blocks.BlockCount(), 2u);
    ASSERT_NE(blocks.Append(TemplateBlocks::kBlockSize), nullptr);
    EXPECT_EQ(blocks.BlockCount(), 3u);
    EXPECT_EQ(blocks.Size(), 2 * TemplateBlocks::kBlockSize + 1);
}

TEST(TemplateBlocks, CopyToRefusesASmallBufferAndWritesNothing) {
    TemplateBlocks blocks;
    std::memset(blocks.Append(10), 0x44, 10);
    std::vector<std::uint8_t> small(9, 0xEE);
    EXPECT_FALSE(blocks.CopyTo(small.data(), small.size()));
    EXPECT_EQ(small, std::vector<std::uint8_t>(9, 0xEE));

    std::vector<std::uint8_t> exact(10, 0);
    EXPECT_TRUE(blocks.CopyTo(exact.data(), exact.size()));
    EXPECT_EQ(exact, std::vector<std::uint8_t>(10, 0x44));
}
