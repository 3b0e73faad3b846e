#include "replay/WorldDigest.h"

#include <bit>
#include <cstdio>

#include "entities/Entity.h"
#include "physics/Physics.h"
#include "physics/Transform.h"

namespace {
// 64-bit FNV-1a.
constexpr std::uint64_t kOffsetBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kPrime = 0x100000001b3ULL;

void Mix(std::uint64_t& digest, std::uint32_t bits) {
    for (int byte = 0; byte < 4; ++byte) {
        digest = (digest ^ ((bits >> (8 * byte)) & 0xffU)) * kPrime;
    }
}

void Mix(std::uint64_t& digest, float value) {
    Mix(digest, std::bit_cast<std::uint32_t>(value));
}

void Mix(std::uint64_t& digest, const std::string& text) {
    for (const char c : text) {
        digest = (digest ^ static_cast<unsigned char>(c)) * kPrime;
    }
    Mix(digest, static_cast<std::uint32_t>(text.size()));
}

void MixEntity(std::uint64_t& digest, const Entity& entity) {
    Mix(digest, entity.name);
    if (const Transform* transform = entity.GetComponent<Transform>()) {
        Mix(digest, transform->position.x);
        Mix(digest, transform->position.y);
        Mix(digest, transform->rotation);
        Mix(digest, transform->scale.x);
        Mix(digest, transform->scale.y);
    }
    if (const Physics* physics = entity.GetComponent<Physics>()) {
        Mix(digest, physics->velocity.x);
        Mix(digest, physics->velocity.y);
    }
    Mix(digest, static_cast<std::uint32_t>(entity.children.size()));
    for (const Entity* child : entity.children) {
        MixEntity(digest, *child);
    }
}
}  // namespace

std::uint64_t WorldDigest(const Entity& root) {
    std::uint64_t digest = kOffsetBasis;
    MixEntity(digest, root);
    return digest;
}

std::string DigestText(std::uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}
