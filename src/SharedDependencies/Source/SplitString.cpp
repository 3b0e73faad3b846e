#include "SharedDependencies/Source/SplitString.h"

#include <cstddef>

namespace {
// The first delimiter, in list order, that occurs in `text` at `position`; null when none does.
// An empty delimiter would match everywhere without advancing, so it never matches.
const std::string* DelimiterAt(const std::string& text, std::size_t position,
                               const std::vector<std::string>& delimiters) {
    for (const std::string& delimiter : delimiters) {
        if (!delimiter.empty() && text.compare(position, delimiter.size(), delimiter) == 0) {
            return &delimiter;
        }
    }
    return nullptr;
}
}  // namespace

std::vector<std::string> SplitString(const std::string& text,
                                     const std::vector<std::string>& delimiters) {
    std::vector<std::string> tokens;
    std::size_t tokenStart = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::string* delimiter = DelimiterAt(text, position, delimiters);
        if (delimiter == nullptr) {
            ++position;
            continue;
        }
        if (tokenStart < position) {
            tokens.push_back(text.substr(tokenStart, position - tokenStart));
        }
        position += delimiter->size();
        tokenStart = position;
    }
    if (tokenStart < text.size()) {
        tokens.push_back(text.substr(tokenStart));
    }
    return tokens;
}
