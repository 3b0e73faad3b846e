#pragma once
// Which contacts end a projectile or a timed object. Entity names carry the meaning: a substring
// test, so tile-map objects such as "Border##12" or "Ball##3" match their archetype's word.

class Collider;

// Bullets and boomerangs pass walls and die on borders, balls and enemies.
bool BulletDiesOn(const Collider* other);
// Flames and timed objects die on walls, balls and enemies.
bool FlameDiesOn(const Collider* other);
