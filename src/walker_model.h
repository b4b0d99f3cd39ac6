#pragma once

// The walker, drawn from GLUT cubes and spheres under the modelview stack.
// Every routine takes the draw mode and draws wireframe only for DRAW_WIRE.
// There is no depth buffer: what is drawn later covers what was drawn before.

// The whole walker. Leaves its transforms on the matrix: display restores it.
void drawWalker(int mode);
// Turret block with its barrel, turned by turretYaw.
void drawTurret(int mode);
// Four barrel cubes and, if a shot is pending, the beam (which consumes it).
void drawBarrel(int mode);
// Hip block and both leg pairs, each pair turned by legYaw at its own mount.
void drawLowerBody(int mode);
void drawHipBlock(int mode);
// One leg posed from legs[index].
void drawLeg(int index, int mode);
// Hip ball and thigh; leaves a translation to the thigh's centre in place.
void drawThigh(int mode);
// Knee ball and shin; leaves a translation to the shin's centre in place.
void drawShin(int mode);
// Ankle cube and foot; leaves a translation to the foot's centre in place.
void drawFoot(int mode);
