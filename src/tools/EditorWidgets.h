#pragma once
// What the editor's two windows build their widgets from: the indents, a section in one call, a
// widget description that only adds a draw callback, and the identity that keeps a rebuilt
// widget's GUI state. Both windows derive hidden identifiers from the same identities, so a
// widget of one keeps its state even when the other took identifiers from that name in between.

#include <memory>
#include <string>
#include <vector>

#include "tools/WindowSection.h"

using WindowObjects = std::vector<std::unique_ptr<WindowObject>>;

inline constexpr float kEditorNestedIndent = 15.0f;
inline constexpr float kEditorFlatIndent = 0.0f;

std::unique_ptr<WindowSection> EditorSection(WindowObjects children, float childIndent,
                                             WindowObjectDescription description = {});

WindowObjectDescription DrawnBy(WindowObjectCallback onDraw);

// A draw callback that puts the widget on the line of the one drawn before it.
void KeepOnLine(WindowObject&);

// The name an entity's or a component's widgets take their identifiers from: its address in
// decimal, unique among live objects and the same every time its widgets are rebuilt.
std::string IdentityOf(const void* object);
