#include "tools/WindowInputText.h"

#include <algorithm>
#include <utility>

#include <imgui.h>
#include <imgui_stdlib.h>

std::map<std::string, std::string> inputTextValues;

namespace {

// Runs every frame while the box is active.
int KeepPrefix(ImGuiInputTextCallbackData* data) {
    const auto* box = static_cast<const WindowInputText*>(data->UserData);
    const int n = std::min(data->BufTextLen, static_cast<int>(box->prefix.size()));
    if (n > 0) {
        std::copy_n(box->prefix.begin(), n, data->Buf);
        if (data->CursorPos >= n) {
            data->CursorPos -= n;
        }
    }
    data->SelectionStart = data->SelectionEnd = data->CursorPos;
    data->BufDirty = true;
    return 0;
}

}  // namespace

WindowInputText::WindowInputText(std::string label, std::string id, InputTextCallback onSubmit,
                                 WindowObjectDescription description, bool persist)
    : WindowObject(std::move(description)),
      label(std::move(label)),
      onSubmit(std::move(onSubmit)),
      id(std::move(id)),
      persist(persist) {
    // A rebuilt persisting box starts from what was last submitted under its identifier.
    if (this->persist) {
        if (const auto found = inputTextValues.find(this->id); found != inputTextValues.end()) {
            value = found->second;
        }
    }
}

// The tool windows are narrow: a value wider than its box is shown whole while the pointer rests
// on the box.
void WindowInputText::ShowWholeWhenCut() const {
    if (!ImGui::IsItemHovered() || ImGui::IsItemActive()) {
        return;
    }
    const float room = ImGui::GetItemRectSize().x - 2.0f * ImGui::GetStyle().FramePadding.x;
    if (ImGui::CalcTextSize(buffer.c_str(), buffer.c_str() + buffer.size()).x > room) {
        ImGui::BeginTooltip();
        ImGui::TextUnformatted(buffer.c_str(), buffer.c_str() + buffer.size());
        ImGui::EndTooltip();
    }
}

void WindowInputText::Update() {
    ImGui::TextUnformatted(label.c_str(), label.c_str() + label.size());
    ImGui::SameLine();
    buffer = value;
    const bool submitted = ImGui::InputText(
        id.c_str(), &buffer,
        ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_CallbackAlways, KeepPrefix,
        this);
    ShowWholeWhenCut();
    if (!submitted) {
        return;
    }
    if (persist) {
        inputTextValues[id] = buffer;
        value = buffer;
    }
    if (onSubmit) {
        onSubmit(*this);
    }
}
