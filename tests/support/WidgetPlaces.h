#pragma once
// Where the GUI drew the tool windows' widgets, found by what they show, for tests that click
// and type into them with real input. Widgets record themselves each time they are drawn (a
// trait that reads the GUI's last item), so a place is known only for a widget drawn, and a
// test waits until it was drawn in the current frame before it points there.
//
// The editor rebuilds parts of its windows while drawing them (the Inspector every frame, an
// open Hierarchy row's children, an open component's fields); tracking follows every rebuild.

#include <map>
#include <string>
#include <utility>

#include <imgui.h>

class WindowObject;

class WidgetPlaces {
public:
    // `frame` is the test's frame counter, read when a widget is drawn.
    explicit WidgetPlaces(const int& frame) : frame(frame) {}

    // Records `root` and everything below it from now on, through the rebuilds of its sections
    // and dropdowns. Call once per object tree that lives on (a window's root).
    void Track(WindowObject& root);

    // Keys: a box's label ("Save To:"), a button's or a header's visible label ("Play",
    // "Transform"); a Hierarchy row's select button is "select " + the entity's name. Of two
    // widgets with one key drawn in a frame, the first drawn holds the key.
    bool DrawnNow(const std::string& key) const;
    // The middle of the widget's rectangle, in window pixels.
    std::pair<int, int> Centre(const std::string& key) const;
    // Whether the whole widget shows inside the window `windowName`'s visible content.
    bool ShownWhole(const std::string& key, const char* windowName) const;

    void Record(const std::string& key);

private:
    struct Place {
        ImVec2 min;
        ImVec2 max;
        int frame = -1;
    };

    void TrackChildren(WindowObject& object);
    void Attach(WindowObject& object, const std::string& key);

    const int& frame;
    std::map<std::string, Place> places;
};
