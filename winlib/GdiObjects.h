// Owners of the GDI objects a painter makes (bitmaps, memory device contexts, fonts) and a
// scope that restores whatever it selected into a device context, so no object is ever deleted
// while selected and no selection outlives its scope.
#pragma once

#include <windows.h>

#include <utility>

#include "Handles.h"

struct BitmapTraits {
    using Value = HBITMAP;
    static Value Invalid() { return nullptr; }
    static void Close(Value bitmap) { DeleteObject(bitmap); }
};

struct MemoryDcTraits {  // CreateCompatibleDC's; a window's DC is released, not deleted
    using Value = HDC;
    static Value Invalid() { return nullptr; }
    static void Close(Value dc) { DeleteDC(dc); }
};

using UniqueBitmap = UniqueResource<BitmapTraits>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// Selects an object into a device context and selects the one it replaced back on scope exit.
// Move-only, so a scope can be handed on (and a member can hold a selection for as long as its
// owner lives).
class SelectedObject {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) : target(dc), previous(SelectObject(dc, object)) {}
    ~SelectedObject() { Restore(); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    SelectedObject(SelectedObject&& other) noexcept
        : target(std::exchange(other.target, nullptr)),
          previous(std::exchange(other.previous, nullptr)) {}
    SelectedObject& operator=(SelectedObject&& other) noexcept {
        if (this != &other) {
            Restore();
            target = std::exchange(other.target, nullptr);
            previous = std::exchange(other.previous, nullptr);
        }
        return *this;
    }

    // Puts the replaced object back now; nothing happens on scope exit afterwards.
    void Restore() {
        if (target != nullptr && previous != nullptr) {
            SelectObject(target, previous);
        }
        target = nullptr;
        previous = nullptr;
    }

private:
    HDC target = nullptr;
    HGDIOBJ previous = nullptr;  // null when the selection failed: nothing to restore
};
