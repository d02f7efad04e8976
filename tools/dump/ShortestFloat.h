// The shortest text that reads back to the same float, for exports of millions of values.
#pragma once

// Writes value as std::to_chars(first, last, value) does (the shortest form, fixed or
// scientific, whichever is shorter, fixed on a tie) and returns the end. out needs room for 32
// characters. NaNs are the caller's.
char* WriteShortestFloat(char* out, float value);
