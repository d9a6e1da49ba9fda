#pragma once

#include <cstdint>
#include <string_view>

namespace text {

// Reads a number as the command line and the dialog's fields do: leading blanks and tabs
// skipped, an optional sign, then decimal digits, "$" and hexadecimal digits, or "%" and binary
// digits, up to the first character that does not fit. No digits give 0. The value wraps to 32
// bits like the original integer arithmetic.
int32_t ReadNumber(std::string_view text);

// The same reading for a number field of the dialog: a number beyond 32 bits gives the nearest
// 32-bit value instead of wrapping, so that a field's clamp sees how large it was.
int32_t ReadNumberSaturated(std::string_view text);

}  // namespace text
