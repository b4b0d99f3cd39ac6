#include "walker_model.h"

#include <GL/glut.h>

#include "scene_state.h"

namespace {

struct Rgb {
    float r;
    float g;
    float b;
};

constexpr Rgb GREEN{0.0F, 1.0F, 0.0F};
constexpr Rgb BLUE{0.0F, 0.0F, 1.0F};
constexpr Rgb CYAN{0.0F, 1.0F, 1.0F};
constexpr Rgb MAGENTA{1.0F, 0.0F, 1.0F};
constexpr Rgb WHITE{1.0F, 1.0F, 1.0F};

constexpr int SPHERE_SLICES = 8;
constexpr int SPHERE_STACKS = 8;
constexpr int BARREL_CUBES = 4;
constexpr float BARREL_START = 0.35F;
constexpr float BARREL_CUBE_EDGE = 0.2F;
constexpr float BEAM_LENGTH = 50.0F;
constexpr float BEAM_THICKNESS = 0.2F;
constexpr float TURRET_TO_HIP = -0.35F;
constexpr float MOUNT_DROP = -0.2F;
constexpr float FRONT_MOUNT_Z = 1.0F;
constexpr float REAR_MOUNT_Z = -1.0F;
constexpr float LEG_SPREAD = 0.198F;
constexpr float HALF_SEGMENT = -0.3F;  // from a joint to its segment's centre
constexpr float THIGH_TO_KNEE = -0.3F;
constexpr float SHIN_TO_ANKLE = -0.25F;

void colour(const Rgb& c)
{
    glColor3f(c.r, c.g, c.b);
}

void cube(int mode, double edge)
{
    if (mode == DRAW_WIRE) {
        glutWireCube(edge);
    } else {
        glutSolidCube(edge);
    }
}

void sphere(int mode, double radius)
{
    if (mode == DRAW_WIRE) {
        glutWireSphere(radius, SPHERE_SLICES, SPHERE_STACKS);
    } else {
        glutSolidSphere(radius, SPHERE_SLICES, SPHERE_STACKS);
    }
}

// A unit cube scaled to a box, in its own saved matrix, in the current colour.
void box(int mode, float x, float y, float z)
{
    glPushMatrix();
    glScalef(x, y, z);
    cube(mode, 1.0);
    glPopMatrix();
}

// The same, coloured inside the saved matrix.
void colouredBox(int mode, const Rgb& c, float x, float y, float z)
{
    glPushMatrix();
    glScalef(x, y, z);
    colour(c);
    cube(mode, 1.0);
    glPopMatrix();
}

// A joint ball of radius 0.1: a unit sphere scaled down.
void jointBall(int mode)
{
    glPushMatrix();
    glScalef(0.1F, 0.1F, 0.1F);
    colour(GREEN);
    sphere(mode, 1.0);
    glPopMatrix();
}

// Both legs of one pair, turned by legYaw about the pair's own mount. The
// caller saves and restores the matrix around it.
void drawLegPair(float mountZ, int mode)
{
    glTranslatef(0.0F, MOUNT_DROP, mountZ);
    glRotatef(static_cast<float>(legYaw), 0.0F, 1.0F, 0.0F);
    glPushMatrix();
    glTranslatef(LEG_SPREAD, 0.0F, 0.0F);
    drawLeg(0, mode);
    glPopMatrix();
    glTranslatef(-LEG_SPREAD, 0.0F, 0.0F);
    drawLeg(1, mode);
}

}  // namespace

void drawWalker(int mode)
{
    glTranslatef(0.0F, static_cast<float>(bodyOffset), 0.0F);
    drawTurret(mode);
    glTranslatef(0.0F, TURRET_TO_HIP, 0.0F);
    drawLowerBody(mode);
}

void drawTurret(int mode)
{
    glPushMatrix();
    glRotatef(static_cast<float>(turretYaw), 0.0F, 1.0F, 0.0F);
    colour(GREEN);
    cube(mode, 0.5);
    drawBarrel(mode);
    glPopMatrix();
}

void drawBarrel(int mode)
{
    glPushMatrix();
    colour(MAGENTA);
    glTranslatef(BARREL_START, 0.0F, 0.0F);
    for (int i = 0; i < BARREL_CUBES; ++i) {
        cube(mode, BARREL_CUBE_EDGE);
        glTranslatef(BARREL_CUBE_EDGE, 0.0F, 0.0F);
    }
    if (beamState == BEAM_FIRE) {
        // From the barrel's mouth, along its line.
        glTranslatef(BEAM_LENGTH / 2, 0.0F, 0.0F);
        glScalef(BEAM_LENGTH, BEAM_THICKNESS, BEAM_THICKNESS);
        colour(WHITE);
        cube(mode, 1.0);
        beamState = BEAM_IDLE;  // a shot shows in exactly one frame
    }
    glPopMatrix();
}

void drawLowerBody(int mode)
{
    glPushMatrix();
    drawHipBlock(mode);
    drawLegPair(FRONT_MOUNT_Z, mode);
    glPopMatrix();
    glPushMatrix();
    drawLegPair(REAR_MOUNT_Z, mode);
    glPopMatrix();
}

void drawHipBlock(int mode)
{
    colouredBox(mode, CYAN, 0.6F, 0.2F, 2.2F);
}

void drawLeg(int index, int mode)
{
    const LegPose& pose = legs[index];
    glPushMatrix();
    glRotatef(pose.hip, 1.0F, 0.0F, 0.0F);
    drawThigh(mode);
    glTranslatef(0.0F, THIGH_TO_KNEE, 0.0F);
    glRotatef(pose.knee, 1.0F, 0.0F, 0.0F);
    drawShin(mode);
    glTranslatef(0.0F, SHIN_TO_ANKLE, 0.0F);
    glRotatef(pose.ankle, 1.0F, 0.0F, 0.0F);
    drawFoot(mode);
    glPopMatrix();
}

void drawThigh(int mode)
{
    jointBall(mode);
    colour(BLUE);
    glTranslatef(0.0F, HALF_SEGMENT, 0.0F);
    box(mode, 0.2F, 0.4F, 0.2F);
}

void drawShin(int mode)
{
    jointBall(mode);
    glTranslatef(0.0F, HALF_SEGMENT, 0.0F);
    colouredBox(mode, BLUE, 0.2F, 0.4F, 0.2F);
}

void drawFoot(int mode)
{
    colouredBox(mode, GREEN, 0.05F, 0.05F, 0.05F);  // the ankle
    glTranslatef(0.0F, -0.1F, 0.1F);
    colouredBox(mode, BLUE, 0.2F, 0.1F, 0.4F);
}
