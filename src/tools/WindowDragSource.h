#pragma once
// Makes the last drawn item draggable: while it is dragged it carries `payload` as a drag
// payload of type `payloadType`, and the preview section is drawn as the drag tooltip.

#include <memory>
#include <string>
#include <utility>

#include <imgui.h>

#include "tools/WindowObject.h"
#include "tools/WindowSection.h"

template <class T>
class WindowDragSource : public WindowObject {
public:
    WindowDragSource(T payload, std::string payloadType, std::unique_ptr<WindowSection> preview,
                     WindowObjectDescription description)
        : WindowObject(std::move(description)),
          payload(std::move(payload)),
          payloadType(std::move(payloadType)),
          preview(std::move(preview)) {}

    void Update() override {
        if (ImGui::BeginDragDropSource()) {
            ImGui::SetDragDropPayload(payloadType.c_str(), &payload, sizeof(T));
            preview->Update();
            ImGui::EndDragDropSource();
        }
    }

    T payload;
    std::string payloadType;
    std::unique_ptr<WindowSection> preview;
};
