#include "engine/Vector3.h"

#include <cmath>

Vector3 Normalize(Vector3 v) {
    const float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) {
        return v;
    }
    return {v.x / length, v.y / length, v.z / length};
}
