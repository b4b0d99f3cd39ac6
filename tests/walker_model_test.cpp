#include <gtest/gtest.h>

#include "body_height.h"
#include "gl_recorder.h"
#include "scene_fixture.h"
#include "scene_state.h"
#include "walker_model.h"

namespace {

using Texts = std::vector<std::string>;

std::string call(const std::string& name, const std::vector<double>& args = {})
{
    return recorder::format(name, args);
}

// The calls one frame of the walker must make, written out from the model's
// description: every push, transform, colour and shape in drawing order.
class ExpectedFrame {
public:
    explicit ExpectedFrame(int mode) : wire_(mode == DRAW_WIRE) {}

    Texts walker(float offset, float turret, float legTurn, const LegPose& leg0, const LegPose& leg1, bool beam)
    {
        add("glTranslatef", {0, offset, 0});
        add("glPushMatrix");
        add("glRotatef", {turret, 0, 1, 0});
        add("glColor3f", {0, 1, 0});
        cube(0.5);
        add("glPushMatrix");
        add("glColor3f", {1, 0, 1});
        add("glTranslatef", {0.35F, 0, 0});
        for (int i = 0; i < 4; ++i) {
            cube(0.2F);
            add("glTranslatef", {0.2F, 0, 0});
        }
        if (beam) {
            add("glTranslatef", {25, 0, 0});
            add("glScalef", {50, 0.2F, 0.2F});
            add("glColor3f", {1, 1, 1});
            cube(1);
        }
        add("glPopMatrix");
        add("glPopMatrix");
        add("glTranslatef", {0, -0.35F, 0});
        add("glPushMatrix");
        add("glPushMatrix");
        add("glScalef", {0.6F, 0.2F, 2.2F});
        add("glColor3f", {0, 1, 1});
        cube(1);
        add("glPopMatrix");
        pair(1.0F, legTurn, leg0, leg1);
        add("glPopMatrix");
        add("glPushMatrix");
        pair(-1.0F, legTurn, leg0, leg1);
        add("glPopMatrix");
        return texts_;
    }

private:
    void add(const std::string& name, const std::vector<double>& args = {}) { texts_.push_back(call(name, args)); }
    void cube(double edge) { add(wire_ ? "glutWireCube" : "glutSolidCube", {edge}); }
    void ball()
    {
        add("glPushMatrix");
        add("glScalef", {0.1F, 0.1F, 0.1F});
        add("glColor3f", {0, 1, 0});
        add(wire_ ? "glutWireSphere" : "glutSolidSphere", {1, 8, 8});
        add("glPopMatrix");
    }
    void box(float x, float y, float z, bool coloured)
    {
        add("glPushMatrix");
        add("glScalef", {x, y, z});
        if (coloured) {
            add("glColor3f", {0, 0, 1});
        }
        cube(1);
        add("glPopMatrix");
    }
    void pair(float mountZ, float legTurn, const LegPose& leg0, const LegPose& leg1)
    {
        add("glTranslatef", {0, -0.2F, mountZ});
        add("glRotatef", {legTurn, 0, 1, 0});
        add("glPushMatrix");
        add("glTranslatef", {0.198F, 0, 0});
        leg(leg0);
        add("glPopMatrix");
        add("glTranslatef", {-0.198F, 0, 0});
        leg(leg1);
    }
    void leg(const LegPose& pose)
    {
        add("glPushMatrix");
        add("glRotatef", {pose.hip, 1, 0, 0});
        ball();
        add("glColor3f", {0, 0, 1});
        add("glTranslatef", {0, -0.3F, 0});
        box(0.2F, 0.4F, 0.2F, false);
        add("glTranslatef", {0, -0.3F, 0});
        add("glRotatef", {pose.knee, 1, 0, 0});
        ball();
        add("glTranslatef", {0, -0.3F, 0});
        box(0.2F, 0.4F, 0.2F, true);
        add("glTranslatef", {0, -0.25F, 0});
        add("glRotatef", {pose.ankle, 1, 0, 0});
        add("glPushMatrix");
        add("glScalef", {0.05F, 0.05F, 0.05F});
        add("glColor3f", {0, 1, 0});
        cube(1);
        add("glPopMatrix");
        add("glTranslatef", {0, -0.1F, 0.1F});
        box(0.2F, 0.1F, 0.4F, true);
        add("glPopMatrix");
    }

    bool wire_;
    Texts texts_;
};

class Model : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        poseAsStarted();
        bodyOffset = computeBodyOffset(30, 0, -30, 0);
    }
};

TEST_F(Model, SolidFrameMakesExactlyTheExpectedCalls)
{
    drawWalker(DRAW_SOLID);
    const Texts expected =
        ExpectedFrame(DRAW_SOLID).walker(static_cast<float>(bodyOffset), -90, 0, legs[0], legs[1], false);
    EXPECT_EQ(recorder::texts(), expected);
    EXPECT_EQ(recorder::stackDepth(), 0);
}

TEST_F(Model, WireFrameMakesTheSameCallsWithWireShapes)
{
    legs[0] = {-55, 50, 0};
    legs[1] = {10, 10, 0};
    turretYaw = 35;
    legYaw = -20;
    bodyOffset = -0.75;
    beamState = BEAM_FIRE;
    drawWalker(DRAW_WIRE);
    const Texts expected = ExpectedFrame(DRAW_WIRE).walker(-0.75F, 35, -20, legs[0], legs[1], true);
    EXPECT_EQ(recorder::texts(), expected);
    EXPECT_EQ(recorder::count("glutSolidCube") + recorder::count("glutSolidSphere"), 0);
}

TEST_F(Model, EveryModeOtherThanWireDrawsSolid)
{
    for (int mode : {DRAW_SOLID, 0, 3, -2, 1000}) {
        recorder::clear();
        drawWalker(mode);
        EXPECT_EQ(recorder::count("glutWireCube") + recorder::count("glutWireSphere"), 0) << mode;
        EXPECT_EQ(recorder::count("glutSolidCube"), 1 + 4 + 1 + 4 * 4) << mode;
        EXPECT_EQ(recorder::count("glutSolidSphere"), 4 * 2) << mode;
    }
}

std::vector<std::string> shapeColours()
{
    std::vector<std::string> colours;
    for (const auto& shape : recorder::shapes()) {
        colours.push_back(shape.colour);
    }
    return colours;
}

TEST_F(Model, DrawsThePartsInTheirOrderAndColours)
{
    beamState = BEAM_FIRE;
    drawWalker(DRAW_SOLID);
    std::vector<std::string> expected{"green", "magenta", "magenta", "magenta", "magenta", "white", "cyan"};
    for (int leg = 0; leg < 4; ++leg) {
        // hip ball, thigh, knee ball, shin, ankle, foot
        expected.insert(expected.end(), {"green", "blue", "green", "blue", "green", "blue"});
    }
    EXPECT_EQ(shapeColours(), expected);
}

TEST_F(Model, BeamShowsInExactlyOneFrame)
{
    for (int presses : {1, 2}) {
        for (int i = 0; i < presses; ++i) {
            beamState = BEAM_FIRE;  // what 'a' does
        }
        recorder::clear();
        drawWalker(DRAW_SOLID);
        const auto shapes = recorder::shapes();
        ASSERT_EQ(shapes[5].colour, "white") << presses;
        // 50 long from the barrel's mouth at x = 1.15, which the turret's
        // -90 degrees turns onto +Z.
        EXPECT_NEAR(shapes[5].x, 0.0, 1e-5);
        EXPECT_NEAR(shapes[5].z, 26.15, 1e-4);
        EXPECT_EQ(beamState, BEAM_IDLE);
        recorder::clear();
        drawWalker(DRAW_SOLID);
        EXPECT_EQ(recorder::count("glScalef"), 1 + 4 * 6) << "no beam in the following frame";
        for (const auto& colour : shapeColours()) {
            EXPECT_NE(colour, "white");
        }
    }
}

TEST_F(Model, UnknownBeamStatesDrawNothingAndStay)
{
    beamState = 0;
    drawWalker(DRAW_SOLID);
    EXPECT_EQ(beamState, 0);
    EXPECT_EQ(recorder::shapes().size(), 30U);
}

TEST_F(Model, StraightLegsHangBelowTheirMountsWithFeetForward)
{
    legs[0] = {0, 0, 0};
    legs[1] = {0, 0, 0};
    bodyOffset = 0.0;
    drawWalker(DRAW_SOLID);
    const auto shapes = recorder::shapes();
    ASSERT_EQ(shapes.size(), 30U);
    EXPECT_NEAR(shapes[0].y, 0.0, 1e-6);    // turret centre
    EXPECT_NEAR(shapes[5].y, -0.35, 1e-6);  // hip block
    const double mountX[4] = {0.198, -0.198, 0.198, -0.198};
    const double mountZ[4] = {1.0, 1.0, -1.0, -1.0};
    // hip ball, thigh, knee ball, shin, ankle and foot below the mount
    const double drop[6] = {0, 0.3, 0.6, 0.9, 1.15, 1.25};
    for (int leg = 0; leg < 4; ++leg) {
        for (int part = 0; part < 6; ++part) {
            const auto& s = shapes[6 + leg * 6 + part];
            EXPECT_NEAR(s.x, mountX[leg], 1e-5) << leg << ' ' << part;
            EXPECT_NEAR(s.y, -0.55 - drop[part], 1e-5) << leg << ' ' << part;
            EXPECT_NEAR(s.z, mountZ[leg] + (part == 5 ? 0.1 : 0.0), 1e-5) << leg << ' ' << part;
        }
    }
}

TEST_F(Model, LegYawTurnsEachPairAboutItsOwnMount)
{
    legYaw = 90;
    bodyOffset = 0.0;
    drawWalker(DRAW_SOLID);
    const auto shapes = recorder::shapes();
    // Hip balls: each pair's two legs stand one behind the other on the body's
    // long axis, around their own mount, not around the body's centre.
    const double hipZ[4] = {1.0 - 0.198, 1.0 + 0.198, -1.0 - 0.198, -1.0 + 0.198};
    for (int leg = 0; leg < 4; ++leg) {
        const auto& hip = shapes[6 + leg * 6];
        EXPECT_NEAR(hip.x, 0.0, 1e-5) << leg;
        EXPECT_NEAR(hip.z, hipZ[leg], 1e-5) << leg;
    }
    EXPECT_NEAR(shapes[5].z, 0.0, 1e-6);  // the hip block does not turn
}

TEST_F(Model, TurretYawTurnsOnlyTheTurretBarrelAndBeam)
{
    turretYaw = 0;
    beamState = BEAM_FIRE;
    drawWalker(DRAW_SOLID);
    const auto shapes = recorder::shapes();
    // Barrel cubes along the turret's own +X.
    const double barrelX[4] = {0.35, 0.55, 0.75, 0.95};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(shapes[1 + i].x, barrelX[i], 1e-5);
        EXPECT_NEAR(shapes[1 + i].z, 0.0, 1e-5);
    }
    EXPECT_NEAR(shapes[5].x, 26.15, 1e-4);
    EXPECT_NEAR(shapes[6].x, 0.0, 1e-6);    // hip block
    EXPECT_NEAR(shapes[7].x, 0.198, 1e-5);  // front leg 0's hip ball
}

TEST_F(Model, BodyOffsetLowersTheWholeWalker)
{
    bodyOffset = -1.25;
    drawWalker(DRAW_SOLID);
    const auto shapes = recorder::shapes();
    EXPECT_NEAR(shapes[0].y, -1.25, 1e-6);
    EXPECT_NEAR(shapes[5].y, -1.6, 1e-6);
    EXPECT_NEAR(shapes[6].y, -1.8, 1e-6);  // front leg 0's hip ball
}

}  // namespace
