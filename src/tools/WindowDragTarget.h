#pragma once
// Makes the last drawn item a drop target for payloads of type `payloadType`; a drop calls
// onDrop with the payload's value.

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include <imgui.h>

#include "tools/WindowObject.h"

template <class T>
class WindowDragTarget : public WindowObject {
public:
    WindowDragTarget(std::string payloadType, std::function<void(const T&)> onDrop,
                     WindowObjectDescription description)
        : WindowObject(std::move(description)),
          payloadType(std::move(payloadType)),
          onDrop(std::move(onDrop)) {}

    void Update() override {
        if (ImGui::BeginDragDropTarget()) {
            const ImGuiPayload* dropped = ImGui::AcceptDragDropPayload(payloadType.c_str());
            if (dropped != nullptr && dropped->DataSize == static_cast<int>(sizeof(T))) {
                T value;
                std::memcpy(&value, dropped->Data, sizeof(T));
                onDrop(value);
            }
            ImGui::EndDragDropTarget();
        }
    }

    std::string payloadType;
    std::function<void(const T&)> onDrop;
};
