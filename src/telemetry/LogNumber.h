#pragma once
// The number reader of the log loader: the same text is accepted and gives the same value
// as TryParseFloat with a full stop or with a comma as the separator (blanks around the
// number, [sign] digits [separator digits] [e [sign] digits], values that overflow or
// underflow to zero refused), but without copying the text, so that a log of a million
// lines reads in a fraction of a second. Either mark is taken whatever the user's
// separator, so a log written under one reads under the other.

#include <optional>
#include <string_view>

// `separator` is the user's decimal separator as UTF-8 bytes (one byte for '.' or ','); it
// is accepted too when it is neither.
std::optional<double> ParseLogNumber(std::string_view text, std::string_view separator);
