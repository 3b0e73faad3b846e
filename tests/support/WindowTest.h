#pragma once
// Base fixture for tests that draw: opens the real window (and its OpenGL context) before each
// test and closes it after.

#include <gtest/gtest.h>

#include "entities/ComponentListSystem.h"
#include "graphics/GraphicsSystem.h"

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        graphics.Initialize();
        ASSERT_TRUE(graphics.IsReady()) << graphics.startFailure;
    }
    void TearDown() override { graphics.ShutDown(); }

    GraphicsSystem& graphics = GraphicsSystem::Instance();
};

// Deletes every component of the given types (the lists are process-wide).
template <class... Components>
void ShutDownLists() {
    (ComponentListSystem<Components>::Instance().ShutDown(), ...);
}
