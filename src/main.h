// The frame's callbacks and set-up, defined beside main in main.cpp.
#pragma once

// How far the eye stands back from the walker before any dolly.
constexpr float EYE_DISTANCE = 5.0F;

// One-time GL set-up, the four information lines and the starting pose.
// Runs once, after the window (and so the GL context) exists.
void initScene();
// Viewport, perspective and the eye's distance, whenever the window resizes.
void reshape(int width, int height);
// Draws one frame.
void display();
