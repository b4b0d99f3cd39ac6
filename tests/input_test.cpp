#include <gtest/gtest.h>

#include "gait.h"
#include "gl_recorder.h"
#include "input.h"
#include "scene_fixture.h"
#include "scene_state.h"

namespace {

using Texts = std::vector<std::string>;
const Texts REDISPLAY{"glutPostRedisplay()"};

class Keys : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        poseAsStarted();
        recorder::setIdle(walkStep);  // the walk runs, as after start-up
    }
    static void press(unsigned char key) { keyboard(key, 17, 23); }
    static void pressSpecial(int key) { specialKeys(key, 17, 23); }
};

TEST_F(Keys, AngleKeysStepByFiveAndRequestARedisplay)
{
    struct Case {
        unsigned char key;
        int* angle;
        int expected;
    };
    const Case cases[] = {
        {',', &legYaw, 5},
        {'.', &legYaw, -5},
        {'z', &turretYaw, -85},
        {'x', &turretYaw, -95},
    };
    for (const Case& c : cases) {
        resetScene();
        press(c.key);
        EXPECT_EQ(*c.angle, c.expected) << c.key;
        EXPECT_EQ(recorder::texts(), REDISPLAY) << c.key;
    }
}

TEST_F(Keys, ArrowsTurnTheViewAndRequestARedisplay)
{
    struct Case {
        int key;
        int* angle;
        int expected;
    };
    const Case cases[] = {
        {GLUT_KEY_LEFT, &viewYaw, 5},
        {GLUT_KEY_UP, &viewPitch, 5},
        {GLUT_KEY_RIGHT, &viewYaw, -5},
        {GLUT_KEY_DOWN, &viewPitch, -5},
    };
    for (const Case& c : cases) {
        resetScene();
        pressSpecial(c.key);
        EXPECT_EQ(*c.angle, c.expected) << c.key;
        EXPECT_EQ(recorder::texts(), REDISPLAY) << c.key;
    }
}

TEST_F(Keys, IntegerAnglesKeepTheSignOfTheTruncatingRemainder)
{
    viewYaw = 355;
    pressSpecial(GLUT_KEY_LEFT);
    EXPECT_EQ(viewYaw, 0);
    viewYaw = -355;
    pressSpecial(GLUT_KEY_RIGHT);
    EXPECT_EQ(viewYaw, 0);
    pressSpecial(GLUT_KEY_RIGHT);
    EXPECT_EQ(viewYaw, -5);
    viewPitch = 355;
    pressSpecial(GLUT_KEY_UP);
    EXPECT_EQ(viewPitch, 0);
    turretYaw = -355;
    press('x');
    EXPECT_EQ(turretYaw, 0);
    legYaw = 355;
    press(',');
    EXPECT_EQ(legYaw, 0);
    // Seventy-two turns one way come back to 0 and never leave -359..359.
    for (int i = 0; i < 72; ++i) {
        press('.');
        ASSERT_GE(legYaw, -359);
    }
    EXPECT_EQ(legYaw, 0);
}

TEST_F(Keys, DollyKeysMoveByOneWithoutLimit)
{
    press('=');
    EXPECT_EQ(dollyZ, 1.0F);
    for (int i = 0; i < 12; ++i) {
        press('-');
    }
    EXPECT_EQ(dollyZ, -11.0F);
    EXPECT_EQ(recorder::count("glutPostRedisplay"), 13);
}

TEST_F(Keys, DrawModeKeysSwitchWireAndSolid)
{
    press('1');
    EXPECT_EQ(drawMode, DRAW_WIRE);
    press('1');
    EXPECT_EQ(drawMode, DRAW_WIRE);
    press('2');
    EXPECT_EQ(drawMode, DRAW_SOLID);
    EXPECT_EQ(recorder::texts(), (Texts{"glutPostRedisplay()", "glutPostRedisplay()", "glutPostRedisplay()"}));
}

TEST_F(Keys, FireSetsAPendingShot)
{
    press('a');
    EXPECT_EQ(beamState, BEAM_FIRE);
    EXPECT_EQ(recorder::texts(), REDISPLAY);
    EXPECT_EQ(recorder::callbacks().idle, walkStep);  // firing does not pause
}

TEST_F(Keys, TogglesFlipWithoutARedisplay)
{
    press('D');
    EXPECT_EQ(autoDolly, 1);
    press('D');
    EXPECT_EQ(autoDolly, 0);
    autoDolly = 7;  // any non-zero value counts as on
    press('D');
    EXPECT_EQ(autoDolly, 0);
    press('d');
    EXPECT_EQ(autoSpin, 1);
    press('d');
    EXPECT_EQ(autoSpin, 0);
    EXPECT_TRUE(recorder::calls().empty());
    EXPECT_EQ(recorder::callbacks().idle, walkStep);
}

TEST_F(Keys, EveryUnboundCharacterPausesTheWalk)
{
    const std::string bound = ",.zx=-12aDdSs";
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<unsigned char>(code);
        if (bound.find(static_cast<char>(key)) != std::string::npos) {
            continue;
        }
        resetScene();
        recorder::setIdle(walkStep);
        press(key);
        EXPECT_EQ(recorder::texts(), Texts{"glutIdleFunc(NULL)"}) << "key " << code;
        EXPECT_EQ(recorder::callbacks().idle, nullptr) << "key " << code;
    }
}

TEST_F(Keys, NamedUnboundKeysPauseAndChangeNothingElse)
{
    for (unsigned char key : {'q', ' ', '\x1b', 'A', 'Z', 'X'}) {
        recorder::setIdle(walkStep);
        press(key);
        EXPECT_EQ(recorder::callbacks().idle, nullptr) << key;
    }
    EXPECT_EQ(beamState, BEAM_IDLE);  // 'A' fires nothing
    EXPECT_EQ(turretYaw, -90);
    EXPECT_EQ(phase, 1);
    EXPECT_EQ(phaseCounter, PHASE_STEPS);
}

TEST_F(Keys, CapitalSResumesTheWalk)
{
    press('q');
    recorder::clear();
    press('S');
    EXPECT_EQ(recorder::texts(), Texts{"glutIdleFunc(fn)"});
    EXPECT_EQ(recorder::callbacks().idle, walkStep);
    press('S');  // already running: the same registration again
    EXPECT_EQ(recorder::callbacks().idle, walkStep);
    EXPECT_EQ(phaseCounter, PHASE_STEPS);  // resuming takes no step itself
}

TEST_F(Keys, SmallSTakesExactlyOneStepWhetherPausedOrNot)
{
    press('q');
    recorder::clear();
    press('s');
    EXPECT_EQ(phaseCounter, PHASE_STEPS - 1);
    EXPECT_EQ(legs[0].hip, 30.25F);
    EXPECT_EQ(recorder::texts(), REDISPLAY);         // walkStep's own request only
    EXPECT_EQ(recorder::callbacks().idle, nullptr);  // still paused
    press('S');
    press('s');
    EXPECT_EQ(phaseCounter, PHASE_STEPS - 2);
    EXPECT_EQ(recorder::callbacks().idle, walkStep);
}

TEST_F(Keys, SingleStepCarriesTheDollyAndSpin)
{
    press('q');
    press('D');
    press('d');
    press('s');
    EXPECT_NEAR(dollyZ, 0.05F, 1e-6);
    EXPECT_EQ(viewYaw, 1);
}

TEST_F(Keys, OtherSpecialKeysDoNothing)
{
    for (int key : {GLUT_KEY_F1, GLUT_KEY_F12, GLUT_KEY_PAGE_UP, GLUT_KEY_HOME, GLUT_KEY_INSERT, 0, 99, 104, 255}) {
        pressSpecial(key);
    }
    EXPECT_TRUE(recorder::calls().empty());
    EXPECT_EQ(recorder::callbacks().idle, walkStep);
    EXPECT_EQ(viewYaw, 0);
    EXPECT_EQ(viewPitch, 0);
}

TEST_F(Keys, ArrowsStillWorkWhilePaused)
{
    press(' ');
    recorder::clear();
    pressSpecial(GLUT_KEY_LEFT);
    EXPECT_EQ(viewYaw, 5);
    EXPECT_EQ(recorder::texts(), REDISPLAY);
    EXPECT_EQ(recorder::callbacks().idle, nullptr);
}

}  // namespace
