#pragma once
// A simple mover driven by the input message stream itself rather than the held-input table: it
// remembers the first direction pressed and a second input pressed while the first is active,
// and derives its entity's Physics velocity from the pair. Any release stops it until the next
// press, even while another key is still held.

#include <cstdint>

#include "entities/Component.h"

struct MovementSlot {
    bool currentState = false;
    // An InputType among UP, LEFT, DOWN and RIGHT, or kNoDirection.
    std::int32_t moveDirection = -1;
};

class Controller : public Component {
public:
    static constexpr const char* kComponentName = "Controller";
    static constexpr std::int32_t kNoDirection = -1;

    // Speed 0, as the entity loader and the editor create it.
    Controller();
    explicit Controller(float speed);

    void HandleMessage(const InputMessage& message) override;
    std::unique_ptr<Component> Clone() const override;
    void Update(float dt) override;
    // Draws the entity untinted, as the player is.
    void Render() override;
    void FromJson(const nlohmann::json& data) override;
    nlohmann::json ToJson() const override;

    MovementSlot movement1;
    MovementSlot movement2;
    float speed = 0.0f;
    float diagonalSpeed = 0.0f;
};
