#pragma once
// The kinds of shot a Weapon fires. The numbers are stored in entity files ("weaponType").

#include <cstdint>

enum class WeaponType : std::int32_t {
    PISTOL = 0,
    RIFLE = 1,
    SNIPER = 2,
    SHOTGUN = 3,
    FLAMETHROWER = 4,
    CURVEBALL = 5,
    CUSTOM = 6,
};
