#include "input.h"

#include <GL/glut.h>

#include "gait.h"
#include "scene_state.h"

namespace {

constexpr int ANGLE_STEP = 5;
constexpr float DOLLY_KEY_STEP = 1.0F;

int toggled(int flag)
{
    return flag == 0 ? 1 : 0;
}

}  // namespace

void keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    switch (key) {
    case ',':
        legYaw = stepAngle(legYaw, ANGLE_STEP);
        break;
    case '.':
        legYaw = stepAngle(legYaw, -ANGLE_STEP);
        break;
    case 'z':
        turretYaw = stepAngle(turretYaw, ANGLE_STEP);
        break;
    case 'x':
        turretYaw = stepAngle(turretYaw, -ANGLE_STEP);
        break;
    case '=':
        dollyZ += DOLLY_KEY_STEP;
        break;
    case '-':
        dollyZ -= DOLLY_KEY_STEP;
        break;
    case '1':
        drawMode = DRAW_WIRE;
        break;
    case '2':
        drawMode = DRAW_SOLID;
        break;
    case 'a':
        beamState = BEAM_FIRE;
        break;
    // The toggles and the walk controls show nothing by themselves: their
    // effect lives in walkStep, so they request no redisplay.
    case 'D':
        autoDolly = toggled(autoDolly);
        return;
    case 'd':
        autoSpin = toggled(autoSpin);
        return;
    case 'S':
        glutIdleFunc(walkStep);
        return;
    case 's':
        walkStep();  // requests its own redisplay
        return;
    default:
        glutIdleFunc(nullptr);
        return;
    }
    glutPostRedisplay();
}

void specialKeys(int key, int /*x*/, int /*y*/)
{
    switch (key) {
    case GLUT_KEY_LEFT:
        viewYaw = stepAngle(viewYaw, ANGLE_STEP);
        break;
    case GLUT_KEY_UP:
        viewPitch = stepAngle(viewPitch, ANGLE_STEP);
        break;
    case GLUT_KEY_RIGHT:
        viewYaw = stepAngle(viewYaw, -ANGLE_STEP);
        break;
    case GLUT_KEY_DOWN:
        viewPitch = stepAngle(viewPitch, -ANGLE_STEP);
        break;
    default:
        return;
    }
    glutPostRedisplay();
}
