#pragma once
// Hidden GUI identifiers. The "##" prefix keeps an identifier out of any visible label (the GUI
// library shows only what stands before "##"). Counters are strings of decimal digits advanced
// like an odometer (9 -> 00, 19 -> 20, 99 -> 000), so no value ever repeats within a run, also
// across engine restarts.

#include <string>

// "##UniqueID" followed by the next value of the one unnamed counter.
std::string MakeUniqueId();
// "##" + name followed by the next value of that name's own counter.
std::string MakeUniqueId(const std::string& name);
// Sets the name's counter back to "0", so rebuilt widgets get the identifiers of the ones they
// replace (and the GUI library keeps their state).
void ResetUniqueId(const std::string& name);

// The odometer step: the next counter value after `counter`.
std::string AdvanceCounter(std::string counter);
