#pragma once
// The best score's file: "hi-score", CR LF, a blank or minus sign, the digits, CR LF.
#include <cstdint>
#include <string>
#include <string_view>

std::string format_hi_score(std::int32_t value);
// The second field of the file read as a number, the first field skipped;
// 0 when there is no second field or it is not a number.
std::int32_t parse_hi_score(std::string_view contents);
