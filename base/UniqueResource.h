// One move-only owner for every kind of system resource (handles, fonts, menus, sockets...).
// A kind is described by traits: the value type, the value that means "none", and how to close.
//
//   struct Traits { using Value = ...; static Value Invalid(); static void Close(Value); };
#pragma once

#include <utility>

template <typename Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() noexcept : value(Traits::Invalid()) {}
    explicit UniqueResource(Value owned) noexcept : value(owned) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    UniqueResource(UniqueResource&& other) noexcept : value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Value Get() const noexcept { return value; }
    bool IsValid() const noexcept { return value != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership without closing.
    Value Release() noexcept { return std::exchange(value, Traits::Invalid()); }

    // Closes what is held (if anything) and takes the new value.
    void Reset(Value owned = Traits::Invalid()) noexcept {
        Value old = std::exchange(value, owned);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }

private:
    Value value;
};
