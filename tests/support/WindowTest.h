#pragma once
// Base fixture for tests that draw: opens the real window (and its OpenGL context) before each
// test and closes it after.

#include <gtest/gtest.h>

#include "graphics/GraphicsSystem.h"
#include "support/ShutDownLists.h"

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        graphics.Initialize();
        ASSERT_TRUE(graphics.IsReady()) << graphics.startFailure;
    }
    void TearDown() override { graphics.ShutDown(); }

    GraphicsSystem& graphics = GraphicsSystem::Instance();
};
