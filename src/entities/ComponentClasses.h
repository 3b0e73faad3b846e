#pragma once
// The component classes that exist so far. The fan-out and the entity reader visit the types of
// ComponentTypes.def whose class is complete here, so a new component type joins the engine by
// having its header listed below.

#include "audio/AudioListener.h"
#include "audio/AudioSource.h"
#include "audio/SoundEffect.h"
#include "gameplay/BasicBehavior.h"
#include "gameplay/BasicEnemyBehavior.h"
#include "gameplay/BoomerangBehavior.h"
#include "gameplay/BulletBehavior.h"
#include "gameplay/Button.h"
#include "gameplay/Controller.h"
#include "gameplay/FlameBehavior.h"
#include "gameplay/GameMaster.h"
#include "gameplay/Pathfinding.h"
#include "gameplay/PlayerInput.h"
#include "gameplay/Tilemap.h"
#include "gameplay/Tracker.h"
#include "gameplay/Weapon.h"
#include "graphics/Animator.h"
#include "graphics/Camera.h"
#include "graphics/Canvas.h"
#include "graphics/Emitter.h"
#include "graphics/Sprite.h"
#include "graphics/SpriteController.h"
#include "graphics/SpriteNonsense.h"
#include "graphics/TransformUI.h"
#include "physics/Collider.h"
#include "physics/ColliderCircle.h"
#include "physics/ColliderLine.h"
#include "physics/ColliderRectangle.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

// Every type of the declaration is named, so code generated from it can mention all of them;
// only the ones whose class is complete above are built.
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) class Name;
#include "entities/ComponentTypes.def"

// Whether a declared component type has its class yet. Every file that asks includes this
// header, so the answer is the same everywhere.
template <class T>
constexpr bool kIsBuiltComponent = requires {
    sizeof(T);
};
