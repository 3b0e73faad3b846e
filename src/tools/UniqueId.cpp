#include "tools/UniqueId.h"

#include <unordered_map>

namespace {

constexpr const char* kUnnamedPrefix = "##UniqueID";
constexpr const char* kStartValue = "0";

std::string& UnnamedCounter() {
    static std::string counter = kStartValue;
    return counter;
}

std::unordered_map<std::string, std::string>& NamedCounters() {
    static std::unordered_map<std::string, std::string> counters;
    return counters;
}

}  // namespace

std::string AdvanceCounter(std::string counter) {
    for (auto digit = counter.rbegin(); digit != counter.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return counter;
        }
        *digit = '0';
    }
    // The carry left the first digit: one more digit, so no earlier value comes back.
    counter.push_back('0');
    return counter;
}

std::string MakeUniqueId() {
    std::string& counter = UnnamedCounter();
    counter = AdvanceCounter(counter);
    return kUnnamedPrefix + counter;
}

std::string MakeUniqueId(const std::string& name) {
    auto [entry, added] = NamedCounters().try_emplace(name, kStartValue);
    entry->second = AdvanceCounter(entry->second);
    return "##" + name + entry->second;
}

void ResetUniqueId(const std::string& name) {
    NamedCounters().insert_or_assign(name, std::string(kStartValue));
}
