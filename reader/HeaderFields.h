// Reading of the HEADER segment's fixed-width fields.
#pragma once

#include <cstdint>

// Scans a version text as "FCS%d.%d" would: the three letters, a number (white space and a sign
// accepted before it), a point, a number. What follows is not examined.
bool ScanVersion(const char* text, int32_t& major, int32_t& minor);

// Reads an offset field: leading blanks (0x20 only), then decimal digits up to the first other
// byte. False when no digit follows the blanks.
bool ScanOffsetField(const char* text, int32_t& value);
