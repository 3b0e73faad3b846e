#include "gameplay/Controller.h"

#include "engine/InputMessage.h"
#include "engine/InputType.h"
#include "entities/Entity.h"
#include "entities/JsonReaders.h"
#include "gameplay/DiagonalSpeed.h"
#include "graphics/Sprite.h"
#include "physics/Physics.h"

namespace {

constexpr const char* kMovement1Key = "movement1";
constexpr const char* kMovement2Key = "movement2";
constexpr const char* kCurrentStateKey = "current state";
constexpr const char* kMoveDirectionKey = "move direction";

std::int32_t DirectionOf(InputType input) {
    switch (input) {
        case InputType::UP:
        case InputType::LEFT:
        case InputType::DOWN:
        case InputType::RIGHT:
            return static_cast<std::int32_t>(input);
        default:
            return Controller::kNoDirection;
    }
}

bool Is(std::int32_t direction, InputType input) {
    return direction == static_cast<std::int32_t>(input);
}

// One level down, with the same lenient rule: an absent slot or key leaves the field as it is.
void ReadSlot(const nlohmann::json& data, const char* key, MovementSlot& slot) {
    const nlohmann::json found = GetJsonPath(data, {key});
    if (IsMissingJsonValue(found)) {
        return;
    }
    // Written as 0 or 1; a JSON boolean means the same.
    const nlohmann::json state = GetJsonPath(found, {kCurrentStateKey});
    if (!IsMissingJsonValue(state)) {
        slot.currentState = state.is_boolean() ? state.get<bool>() : JsonToInt(state) != 0;
    }
    ReadJsonInt(found, kMoveDirectionKey, slot.moveDirection);
}

nlohmann::json SlotToJson(const MovementSlot& slot) {
    return nlohmann::json{{kCurrentStateKey, slot.currentState ? 1 : 0},
                          {kMoveDirectionKey, slot.moveDirection}};
}

}  // namespace

Controller::Controller() : Controller(0.0f) {}

Controller::Controller(float speed)
    : Component(kComponentName), speed(speed), diagonalSpeed(DiagonalSpeed(speed)) {}

std::unique_ptr<Component> Controller::Clone() const {
    return std::make_unique<Controller>(*this);
}

void Controller::HandleMessage(const InputMessage& message) {
    // Every message counts, directions or not: a press while the first slot is active occupies
    // the second, and any release clears the first.
    if (movement1.currentState && message.pressed) {
        movement2.currentState = true;
        movement2.moveDirection = DirectionOf(message.input);
    } else {
        movement1.currentState = message.pressed;
        movement2.moveDirection = kNoDirection;
        movement1.moveDirection = message.pressed ? DirectionOf(message.input) : kNoDirection;
    }
    if (!movement2.currentState) {
        movement2.moveDirection = kNoDirection;
    }
}

void Controller::Update(float /*dt*/) {
    Physics* physics = owner != nullptr ? owner->GetComponent<Physics>() : nullptr;
    if (physics == nullptr) {
        return;
    }
    if (!movement1.currentState) {
        physics->velocity = {0.0f, 0.0f};
        return;
    }
    const std::int32_t a = movement1.moveDirection;
    const std::int32_t b = movement2.moveDirection;
    const float s = speed;
    const float d = diagonalSpeed;
    // A second direction bends the first into a diagonal; the opposite one cancels it; any other
    // second input leaves the first alone.
    if (Is(a, InputType::LEFT)) {
        physics->velocity = Is(b, InputType::DOWN)    ? Vector2{-d, -d}
                            : Is(b, InputType::UP)    ? Vector2{-d, d}
                            : Is(b, InputType::RIGHT) ? Vector2{0.0f, 0.0f}
                                                      : Vector2{-s, 0.0f};
    } else if (Is(a, InputType::RIGHT)) {
        physics->velocity = Is(b, InputType::DOWN)   ? Vector2{d, -d}
                            : Is(b, InputType::UP)   ? Vector2{d, d}
                            : Is(b, InputType::LEFT) ? Vector2{0.0f, 0.0f}
                                                     : Vector2{s, 0.0f};
    } else if (Is(a, InputType::UP)) {
        physics->velocity = Is(b, InputType::DOWN)    ? Vector2{0.0f, 0.0f}
                            : Is(b, InputType::LEFT)  ? Vector2{-d, d}
                            : Is(b, InputType::RIGHT) ? Vector2{d, d}
                                                      : Vector2{0.0f, s};
    } else if (Is(a, InputType::DOWN)) {
        physics->velocity = Is(b, InputType::UP)      ? Vector2{0.0f, 0.0f}
                            : Is(b, InputType::LEFT)  ? Vector2{-d, -d}
                            : Is(b, InputType::RIGHT) ? Vector2{d, -d}
                                                      : Vector2{0.0f, -s};
    }
    // Active through a non-direction input: the velocity stays as it is.
}

void Controller::Render() {
    if (Sprite* sprite = owner != nullptr ? owner->GetComponent<Sprite>() : nullptr) {
        sprite->color = {1.0f, 1.0f, 1.0f};
    }
}

void Controller::FromJson(const nlohmann::json& data) {
    ReadSlot(data, kMovement1Key, movement1);
    ReadSlot(data, kMovement2Key, movement2);
    ReadJsonFloat(data, "speed", speed);
    diagonalSpeed = DiagonalSpeed(speed);
}

nlohmann::json Controller::ToJson() const {
    return nlohmann::json{{kMovement1Key, SlotToJson(movement1)},
                          {kMovement2Key, SlotToJson(movement2)},
                          {"speed", speed}};
}
