// A fixture that puts the scene state back to its static starting values and
// empties the call record before every test.
#pragma once

#include <gtest/gtest.h>

void resetScene();

// The pose initScene leaves: hips copied from the height model.
void poseAsStarted();

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { resetScene(); }
};
