#include "graphics/TransformUI.h"

TransformUI::TransformUI() : Transform(kComponentName) {}

std::unique_ptr<Component> TransformUI::Clone() const {
    return std::make_unique<TransformUI>(*this);
}
