// Entry, one-time set-up and the frame: the window, the projection and the
// drawing of one frame.
#include <GL/glut.h>

#include <cstdio>

#include "body_height.h"
#include "gait.h"
#include "input.h"
#include "main.h"
#include "scene_state.h"
#include "walker_model.h"

namespace {

constexpr int WINDOW_SIZE = 400;
constexpr int WINDOW_POSITION = 100;
constexpr const char* WINDOW_TITLE = WALKER_WINDOW_TITLE;  // CMakeLists.txt
constexpr double FIELD_OF_VIEW = 65.0;
constexpr double NEAR_PLANE = 1.0;
constexpr double FAR_PLANE = 20.0;

void printInfoLine(const char* format, GLenum name)
{
    const GLubyte* value = glGetString(name);
    // printf's %s must never see a null pointer.
    std::printf(format, value != nullptr ? reinterpret_cast<const char*>(value) : "unknown");
}

}  // namespace

void initScene()
{
    glClearColor(0.0F, 0.0F, 0.0F, 0.0F);
    glClearDepth(1.0);
    glShadeModel(GL_SMOOTH);

    printInfoLine("VENDOR : %s\n", GL_VENDOR);
    printInfoLine("RENDERER : %s\n", GL_RENDERER);
    printInfoLine("EXTENSIONS : %s\n", GL_EXTENSIONS);
    printInfoLine("VERSION : %s\n", GL_VERSION);
    // Out now, even when standard output is a pipe or a file: the program
    // never exits by itself, so a buffered line could be lost for good.
    std::fflush(stdout);

    legs[0].hip = heightHipA;
    legs[1].hip = heightHipB;
    bodyOffset = computeBodyOffset(heightHipA, heightKneeA, heightHipB, heightKneeB);
}

void reshape(int width, int height)
{
    glViewport(0, 0, width, height);
    // A window with no height is taken as one pixel high, so that the
    // projection stays finite instead of dividing by zero.
    const double aspect = static_cast<double>(width) / (height > 0 ? height : 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, aspect, NEAR_PLANE, FAR_PLANE);
    // The eye translation is the base of every frame; display builds on it.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0F, 0.0F, -EYE_DISTANCE);
}

void display()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glPushMatrix();
    glPushMatrix();
    glTranslatef(0.0F, 0.0F, dollyZ);
    glRotatef(static_cast<float>(viewYaw), 0.0F, 1.0F, 0.0F);
    // The axis is normalised by the GL: this is a turn about X.
    glRotatef(static_cast<float>(viewPitch), 0.1F, 0.0F, 0.0F);
    drawWalker(drawMode);
    glPopMatrix();
    glPopMatrix();
    glutSwapBuffers();
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
    glutInitWindowPosition(WINDOW_POSITION, WINDOW_POSITION);
    glutCreateWindow(WINDOW_TITLE);
    initScene();
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutSpecialFunc(specialKeys);
    glutKeyboardFunc(keyboard);
    glutIdleFunc(walkStep);
    glutMainLoop();
    return 0;
}
