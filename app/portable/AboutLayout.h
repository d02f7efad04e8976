// The About box's layout: its rectangle, caption and template items in dialog units (inclusive
// right and bottom), and where the icon and the link go. Written in the template writer's own
// terms, so that the box and the native test of its template bytes use the very same values.
#pragma once

#include <cstdint>

#include "DialogTemplateWriter.h"

struct TemplateItem {
    TemplateRect rectangle;
    std::uint32_t style;
    std::uint32_t id;
    std::uint16_t classAtom;
};

constexpr TemplateRect kAboutDialogRect = {0, 0, 200, 40};
constexpr const wchar_t* kAboutCaption = L"About";

// The name-and-version line: a static text (child, visible, left-aligned) without a control id.
constexpr TemplateItem kAboutTextItem = {{40, 10, 139, 19}, 0x50000000, 0xFFFFFFFF, 0x0082};
// The default button (child, visible, group, tab stop, default push button) with IDOK.
constexpr TemplateItem kAboutOkItem = {{145, 8, 194, 19}, 0x50030001, 1, 0x0080};
constexpr const wchar_t* kAboutOkText = L"OK";

// Made when the dialog initialises, not by the template.
constexpr TemplateRect kAboutIconRect = {11, 11, 29, 29};
constexpr TemplateRect kAboutLinkRect = {40, 20, 140, 30};
