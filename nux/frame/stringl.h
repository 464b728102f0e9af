// Text helpers. Strings hold UTF-8; case-insensitive comparisons fold ASCII letters only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "nux/frame/types.h"

namespace nux {

// Value in fixed notation with Decimals decimals (clipped to 0..40; exact, halves to even, and
// independent of the locale), right-aligned in Width
// characters (a longer text is not cut). NaN and infinities read "NaN", "Inf", "-Inf".
std::string strff(double Value, int32_t Width, int32_t Decimals);

// Removes leading and trailing blanks (spaces and tabs).
std::string StripLTBlanks(std::string_view Text);
// Removes every trailing character that occurs in Chars.
std::string StripTrailingChars(std::string_view Text, std::string_view Chars);
// Removes ASCII control characters (codes 0..31 and 127).
std::string RemoveControlChars(std::string_view Text);
// Replaces every occurrence of the byte OldChar by NewChar.
std::string ReplaceCharInString(std::string_view Text, char OldChar, char NewChar);

// True when Text contains Pattern. Patterns beginning with "//" name a character class:
// "//dig" a decimal digit, "//alpha" an ASCII letter, "//alnum" either, "//blank" a space or
// tab. Any other pattern is a plain substring (case-sensitive); the empty pattern is contained.
bool StringContains(std::string_view Text, std::string_view Pattern);

// 1-based index of the first entry of List equal to Text, 0 when absent. With CaseSensitive
// false, ASCII letter case is ignored.
int32_t StringIx(std::string_view Text, const TStrArray& List, bool CaseSensitive);

// Splits Text at every character that occurs in Delimiters. Empty tokens (between adjacent
// delimiters, or at the ends) are dropped unless KeepEmpty is true.
TStrArray Tokenize(std::string_view Text, std::string_view Delimiters, bool KeepEmpty = false);

// ASCII case conversion and comparison.
std::string UpperCase(std::string_view Text);
// Text with the ASCII letters in lower case.
std::string LowerCase(std::string_view Text);
// A and B are equal ignoring the case of ASCII letters.
bool SameText(std::string_view A, std::string_view B);

// Number of code points in UTF-8 text: bytes 10xxxxxx continue the code point before them.
size_t Utf8Length(std::string_view Text);
// The first MaxChars code points of Text, never cutting inside a code point.
std::string Utf8Truncate(std::string_view Text, size_t MaxChars);
// At most MaxBytes bytes of Text, cut before a code point that would not fit whole.
std::string Utf8TruncateBytes(std::string_view Text, size_t MaxBytes);

}  // namespace nux
