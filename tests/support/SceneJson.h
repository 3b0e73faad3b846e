#pragma once
// Builders for the entity-file JSON that in-game tests write as their own scenes: component
// entries in their envelope, and a player made of the shipped pieces (transform, physics, sprite,
// player input, weapon) that tests extend with what they need.

#include <string>

#include <nlohmann/json.hpp>

// {name: data, "Update layer": layer}
nlohmann::json EntryJson(const std::string& name, nlohmann::json data, int layer = 2);
nlohmann::json VectorJson(double x, double y);
// A Transform entry at (x, y), unrotated, scaled `size` on both axes.
nlohmann::json TransformJson(double x, double y, double size);
// A Physics entry at rest.
nlohmann::json PhysicsJson();
// A Sprite entry with every key: the stock mesh and shader, untinted, opaque.
nlohmann::json SpriteJson(const std::string& texture, int layer = 3);
// A player entity at (x, y): Transform, Physics, Sprite, PlayerInput (`speed`) and a Weapon with
// the default values.
nlohmann::json PlayerJson(double x, double y, double size, double speed);
