// The scene state: every mutable value of the program, shared by the GLUT
// callbacks on the single event thread. Each variable has a static starting
// value; initScene derives the starting hips and body offset from them.
#pragma once

struct LegPose {
    float hip;    // thigh at the hip
    float knee;   // shin at the knee, relative to the thigh
    float ankle;  // foot at the ankle; the gait never moves it
};

constexpr int DRAW_SOLID = 1;
constexpr int DRAW_WIRE = 2;
constexpr int BEAM_FIRE = 1;
constexpr int BEAM_IDLE = 2;

// View
extern int viewYaw;
extern int viewPitch;
extern float dollyZ;
extern int autoDolly;
extern int dollyDirection;  // 0: dolly moving nearer, 1: moving away
extern int autoSpin;

// Drawing and pose
extern int drawMode;
extern int turretYaw;
extern int legYaw;
extern int beamState;
extern LegPose legs[2];
extern double bodyOffset;

// Gait position
extern int phase;
extern int phaseCounter;

// The height model: a separate bookkeeping of two legs, only for bodyOffset.
extern float heightHipA;
extern float heightKneeA;
extern float heightHipB;
extern float heightKneeB;

// Adds step to an integer angle and keeps the sign-keeping remainder of 360,
// so the angle stays within -359..359 and may be negative.
int stepAngle(int angle, int step);
