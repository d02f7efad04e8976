// The "%0.15g" text of a real by exact integer arithmetic, for the reals whose binary value
// times a power of ten fits in 128 bits: single-precision values of every usual magnitude and
// doubles with short binary fractions. It is several times cheaper than the library's
// formatting with a precision, which decoding a screen of cells would otherwise spend most
// of its time in.
#pragma once

// Writes the text of value at out (room for 32 characters, no terminating zero) and returns
// its end, or returns null when value is infinite, NaN or out of the exact range, and the
// caller formats it otherwise. The text is what printf's "%0.15g" writes: fifteen significant
// digits rounded to nearest (an exact tie to even), trailing zeros removed, exponent form below
// 1e-4 and from 1e15 on, with a sign and at least two exponent digits ("1e+15", "-2.5e-05").
char* WriteRealText15(double value, char* out);
