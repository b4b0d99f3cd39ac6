#include <gtest/gtest.h>

#include <string>

#include "body_height.h"
#include "gait.h"
#include "gl_recorder.h"
#include "input.h"
#include "main.h"
#include "scene_fixture.h"
#include "scene_state.h"

// The program's main, compiled under this name for the tests.
int walkerMain(int argc, char** argv);

namespace {

using Texts = std::vector<std::string>;

std::string runInitScene()
{
    testing::internal::CaptureStdout();
    initScene();
    return testing::internal::GetCapturedStdout();
}

class Frame : public SceneTest {};

TEST_F(Frame, InitScenePrintsExactlyTheFourInformationLines)
{
    const std::string out = runInitScene();
    EXPECT_EQ(out,
              "VENDOR : Test Vendor\n"
              "RENDERER : Test Renderer 1.0\n"
              "EXTENSIONS : GL_EXT_one GL_EXT_two\n"
              "VERSION : 2.1 Test\n");
    EXPECT_EQ(recorder::textsOf({"glGetString"}), (Texts{"glGetString(GL_VENDOR)", "glGetString(GL_RENDERER)",
                                                         "glGetString(GL_EXTENSIONS)", "glGetString(GL_VERSION)"}));
}

TEST_F(Frame, ANullStringStillPrintsItsLine)
{
    recorder::setString(GL_RENDERER, nullptr);
    recorder::setString(GL_EXTENSIONS, nullptr);
    const std::string out = runInitScene();
    EXPECT_EQ(out,
              "VENDOR : Test Vendor\n"
              "RENDERER : unknown\n"
              "EXTENSIONS : unknown\n"
              "VERSION : 2.1 Test\n");
}

TEST_F(Frame, StringsArePrintedVerbatim)
{
    recorder::setString(GL_VENDOR, "100% %s %d \\n");  // never used as a format
    recorder::setString(GL_VERSION, "");
    const std::string out = runInitScene();
    EXPECT_EQ(out.substr(0, out.find('\n') + 1), "VENDOR : 100% %s %d \\n\n");
    EXPECT_NE(out.find("\nVERSION : \n"), std::string::npos);
}

TEST_F(Frame, InitSceneSetsUpTheGlAndTheStartingPose)
{
    runInitScene();
    const Texts texts = recorder::texts();
    ASSERT_GE(texts.size(), 3U);
    EXPECT_EQ(Texts(texts.begin(), texts.begin() + 3),
              (Texts{"glClearColor(0,0,0,0)", "glClearDepth(1)", "glShadeModel(GL_SMOOTH)"}));
    EXPECT_EQ(texts.size(), 7U) << "nothing but set-up and the four strings";
    EXPECT_EQ(legs[0].hip, 30.0F);
    EXPECT_EQ(legs[1].hip, -30.0F);
    EXPECT_EQ(legs[0].knee, 0.0F);
    EXPECT_EQ(legs[1].knee, 0.0F);
    EXPECT_NEAR(bodyOffset, -0.187554, 1e-6);
    EXPECT_EQ(bodyOffset, computeBodyOffset(30, 0, -30, 0));
}

TEST_F(Frame, ReshapeSetsViewportProjectionAndEyeTranslation)
{
    reshape(400, 400);
    EXPECT_EQ(recorder::texts(), (Texts{"glViewport(0,0,400,400)", "glMatrixMode(GL_PROJECTION)", "glLoadIdentity()",
                                        "gluPerspective(65,1,1,20)", "glMatrixMode(GL_MODELVIEW)", "glLoadIdentity()",
                                        "glTranslatef(0,0,-5)"}));
}

double reshapeAspect(int width, int height)
{
    recorder::clear();
    reshape(width, height);
    for (const auto& call : recorder::calls()) {
        if (call.name == "gluPerspective") {
            return call.args[1];
        }
    }
    ADD_FAILURE() << "no gluPerspective";
    return 0.0;
}

TEST_F(Frame, ReshapeAspectIsADoubleDivision)
{
    EXPECT_EQ(reshapeAspect(800, 400), 2.0);
    EXPECT_EQ(reshapeAspect(400, 800), 0.5);
    EXPECT_DOUBLE_EQ(reshapeAspect(640, 480), 640.0 / 480.0);
    EXPECT_DOUBLE_EQ(reshapeAspect(401, 400), 1.0025);
}

TEST_F(Frame, ZeroHeightIsTakenAsOnePixelHigh)
{
    EXPECT_EQ(reshapeAspect(640, 0), 640.0);
    EXPECT_EQ(recorder::texts().front(), "glViewport(0,0,640,0)");
    EXPECT_EQ(reshapeAspect(0, 0), 0.0);
    EXPECT_EQ(reshapeAspect(1, 0), 1.0);
}

TEST_F(Frame, DisplayDrawsOneFrameInItsOrder)
{
    poseAsStarted();
    dollyZ = 1.5F;
    viewYaw = 25;
    viewPitch = -10;
    display();
    const Texts texts = recorder::texts();
    ASSERT_GT(texts.size(), 10U);
    EXPECT_EQ(Texts(texts.begin(), texts.begin() + 7),
              (Texts{"glClear(GL_COLOR_BUFFER_BIT)", "glPushMatrix()", "glPushMatrix()", "glTranslatef(0,0,1.5)",
                     "glRotatef(25,0,1,0)", "glRotatef(-10,0.1,0,0)", "glTranslatef(0,0,0)"}));
    EXPECT_EQ(Texts(texts.end() - 3, texts.end()), (Texts{"glPopMatrix()", "glPopMatrix()", "glutSwapBuffers()"}));
    EXPECT_EQ(recorder::stackDepth(), 0);
    EXPECT_EQ(recorder::count("glLoadIdentity"), 0);
    EXPECT_EQ(recorder::count("glutSwapBuffers"), 1);
}

TEST_F(Frame, DisplayPassesTheDrawModeDown)
{
    drawMode = DRAW_WIRE;
    display();
    EXPECT_EQ(recorder::count("glutSolidCube") + recorder::count("glutSolidSphere"), 0);
    EXPECT_EQ(recorder::count("glutWireCube"), 22);
    drawMode = 7;
    recorder::clear();
    display();
    EXPECT_EQ(recorder::count("glutWireCube") + recorder::count("glutWireSphere"), 0);
}

TEST_F(Frame, MainOpensTheWindowThenRegistersAndLoops)
{
    char name[] = "walker";
    char option[] = "-sync";
    char* argv[] = {name, option, nullptr};
    testing::internal::CaptureStdout();
    const int result = walkerMain(2, argv);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out.rfind("VENDOR : ", 0), 0U);

    const Texts order =
        recorder::textsOf({"glutInit", "glutInitDisplayMode", "glutInitWindowSize", "glutInitWindowPosition",
                           "glutCreateWindow", "glClearColor", "glutDisplayFunc", "glutReshapeFunc", "glutSpecialFunc",
                           "glutKeyboardFunc", "glutIdleFunc", "glutMainLoop"});
    // The title is spelled out, not taken from the build: this checks it.
    EXPECT_EQ(order, (Texts{"glutInit(2)", "glutInitDisplayMode(2)", "glutInitWindowSize(400,400)",
                            "glutInitWindowPosition(100,100)", "glutCreateWindow(Meu modelo :P)",
                            "glClearColor(0,0,0,0)", "glutDisplayFunc(fn)", "glutReshapeFunc(fn)",
                            "glutSpecialFunc(fn)", "glutKeyboardFunc(fn)", "glutIdleFunc(fn)", "glutMainLoop()"}));
    EXPECT_EQ(recorder::calls().front().pointer, static_cast<const void*>(argv));  // argv unchanged
    EXPECT_EQ(recorder::calls().back().name, "glutMainLoop");

    const auto& cb = recorder::callbacks();
    EXPECT_EQ(cb.display, display);
    EXPECT_EQ(cb.reshape, reshape);
    EXPECT_EQ(cb.special, specialKeys);
    EXPECT_EQ(cb.keyboard, keyboard);
    EXPECT_EQ(cb.idle, walkStep);
    EXPECT_EQ(GLUT_DOUBLE | GLUT_RGB, 2U);  // double-buffered RGB, no depth buffer
}

}  // namespace
