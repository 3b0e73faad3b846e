#include "graphics/Emitter.h"

#include "entities/JsonReaders.h"

Emitter::Emitter() : Component(kComponentName) {}

std::unique_ptr<Component> Emitter::Clone() const {
    return std::make_unique<Emitter>(*this);
}

void Emitter::FromJson(const nlohmann::json& data) {
    ReadJsonFloat(data, "color.x", color.x);
    ReadJsonFloat(data, "color.y", color.y);
    ReadJsonFloat(data, "color.z", color.z);
    ReadJsonFloat(data, "radius", radius);
}

nlohmann::json Emitter::ToJson() const {
    return nlohmann::json{
        {"color.x", color.x}, {"color.y", color.y}, {"color.z", color.z}, {"radius", radius}};
}
