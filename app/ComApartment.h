// COM for the calling thread, as a single-threaded apartment, for as long as the object lives.
#pragma once

#include <objbase.h>

class ComApartment {
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    // Only a successful initialisation (S_OK or S_FALSE) may be balanced by CoUninitialize.
    ~ComApartment() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result;
};
