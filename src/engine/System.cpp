#include "engine/System.h"

namespace {
const std::string kUnnamedSystem = "UNNAMED_SYSTEM";
}

const std::string& System::GetName() const {
    return kUnnamedSystem;
}

void System::PreUpdate() {}
