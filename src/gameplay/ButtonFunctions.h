#pragma once
// The actions a menu button can run, by the name its "function" key gives. Built before main and
// never changed, so a button binds its action by looking the name up once.

#include <functional>
#include <string>
#include <unordered_map>

using ButtonAction = std::function<void()>;

// "Start" opens the first level, "Menu" the menu, "Quit" ends the program after the frame.
extern const std::unordered_map<std::string, ButtonAction> buttonFunctions;
