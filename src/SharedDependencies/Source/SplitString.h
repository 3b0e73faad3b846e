#pragma once

#include <string>
#include <vector>

// Splits `text` at every occurrence of any delimiter. At each position the delimiters are tried
// in list order and the first that matches wins, so the list order decides between overlapping
// delimiters (a single backslash listed before a double one consumes "\\" as two singles).
// Empty tokens are never produced: leading, trailing and repeated delimiters vanish, and an empty
// text or a text of delimiters only gives an empty list. Empty delimiters are ignored.
std::vector<std::string> SplitString(const std::string& text,
                                     const std::vector<std::string>& delimiters);
