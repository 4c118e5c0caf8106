#pragma once
// UTF-8 to Windows-1252, every LF widened to CR LF, sixteen bytes at a time
// for the common blocks of a Portuguese device log: ASCII, accented letters
// (U+00C0..U+00FF, the two bytes C3 xx, which become the one byte xx + 0x40)
// and line feeds. Anything else is left to the caller's character-wise
// conversion. Needs SSSE3 (see processor_features.h); without it nothing is
// converted here.

// Converts from p, 16 bytes at a time, the runs of ASCII and whole C3 xx
// sequences, each up to a LF (widened) or 16 bytes; stops before the first
// run holding anything else, or with fewer than 16 bytes left. p and out are
// left where it stopped. out lies apart from [p, end) and has room for its
// bytes and one more per LF.
void ConvertUtf8BlocksWideningLineFeeds(const unsigned char*& p, const unsigned char* end,
                                        char*& out);
