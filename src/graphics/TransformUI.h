#pragma once
// A second transform type for screen-space entities. It behaves exactly like Transform and is
// saved under the same name, but lives in its own list and is recorded under its own type, so
// the typed lookup for Transform does not find it.

#include "physics/Transform.h"

class TransformUI : public Transform {
public:
    static constexpr const char* kComponentName = "Transform";

    TransformUI();

    std::unique_ptr<Component> Clone() const override;
};
