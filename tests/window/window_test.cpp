// The real program under a real X server: real key events, real pixels.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cmath>
#include <memory>

#include "checks.h"
#include "gait.h"
#include "x_harness.h"

namespace {

using namespace harness;

// Where a model-space point lands in a width x height window in the starting
// view: the eye 5 units away, 65 degrees of vertical field.
struct Pixel {
    double x, y;
};
Pixel project(double x, double y, double z, int width = 400, int height = 400)
{
    const double focal = 1.0 / std::tan(65.0 / 2.0 * M_PI / 180.0);
    const double depth = 5.0 - z;
    const double aspect = static_cast<double>(width) / height;
    return {(focal / aspect * x / depth + 1.0) / 2.0 * width, (1.0 - focal * y / depth) / 2.0 * height};
}

// The walker's body rises and falls by up to this much as it walks.
constexpr double LOWEST_BODY = -0.1876;
constexpr int SLACK = 3;

// The pixels a point of the body can land on while the walker walks.
Rect bodyPoint(double x, double y, double z)
{
    const Pixel high = project(x, y, z);
    const Pixel low = project(x, y + LOWEST_BODY, z);
    return {static_cast<int>(std::floor(std::min(high.x, low.x))) - SLACK, static_cast<int>(std::floor(high.y)) - SLACK,
            static_cast<int>(std::ceil(std::max(high.x, low.x))) + SLACK, static_cast<int>(std::ceil(low.y)) + SLACK};
}

// Inside r, every pixel of the colour the body must show there at the
// body's current height: at least some are.
::testing::AssertionResult shows(const Image& image, std::uint32_t colour, Rect r)
{
    const int n = image.count(colour, r);
    if (n > 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no pixel of " << std::hex << colour << std::dec << " in (" << r.x0 << ","
                                         << r.y0 << ")-(" << r.x1 << "," << r.y1 << ")";
}

class RealWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        virtualDisplay = std::make_unique<VirtualDisplay>();
        if (!virtualDisplay->start()) {
            virtualDisplay.reset();
        }
    }
    static void TearDownTestSuite() { virtualDisplay.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(virtualDisplay) << "Xvfb did not start";
        walker_ = std::make_unique<Walker>(*virtualDisplay);
        ASSERT_TRUE(walker_->start(walkerPath())) << "walker showed no window";
    }
    void TearDown() override
    {
        if (HasFailure() && walker_) {
            const std::string path =
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ppm";
            walker_->capture().savePpm(path);
            std::printf("last picture saved to %s\n", path.c_str());
        }
        walker_.reset();  // ends the program by its pid
    }

    Walker& w() { return *walker_; }
    Image paused()
    {
        Image still = w().pause();
        EXPECT_FALSE(still.pixels.empty()) << "the picture never came to rest after an unbound key";
        return still;
    }

    static std::unique_ptr<VirtualDisplay> virtualDisplay;
    std::unique_ptr<Walker> walker_;
};

std::unique_ptr<VirtualDisplay> RealWindow::virtualDisplay;

TEST_F(RealWindow, ConsoleShowsExactlyTheFourInformationLines)
{
    expectTheFourInformationLines(w());
}

TEST_F(RealWindow, OpensTheTitledWindowAtItsPlaceOnBlack)
{
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(w().geometry(x, y, width, height));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 400);
    EXPECT_EQ(w().title(), "Meu modelo :P");  // spelled out: the check that the title is this one
    const Image image = w().capture();
    for (Rect corner : {Rect{0, 0, 39, 39}, Rect{360, 0, 399, 39}, Rect{0, 360, 39, 399}, Rect{360, 360, 399, 399}}) {
        EXPECT_EQ(image.count(BLACK, corner), 40 * 40) << corner.x0 << "," << corner.y0;
    }
    EXPECT_GT(image.count(BLACK), 400 * 400 * 8 / 10);
}

TEST_F(RealWindow, EveryPartShowsWhereTheModelPutsIt)
{
    const Image image = w().capture();
    // Barrel: its nearest cube's face, toward the viewer.
    EXPECT_TRUE(shows(image, MAGENTA, bodyPoint(0, 0, 1.05)));
    // Turret block beside the barrel.
    EXPECT_TRUE(shows(image, GREEN, bodyPoint(-0.2, 0, 0.25)));
    EXPECT_TRUE(shows(image, GREEN, bodyPoint(0.2, 0, 0.25)));
    // Hip block, front face.
    EXPECT_TRUE(shows(image, CYAN, bodyPoint(0, -0.35, 1.1)));
    // Legs below it.
    const Pixel mount = project(0, -0.55 + LOWEST_BODY, 1.0);
    EXPECT_GT(image.count(BLUE, {static_cast<int>(mount.x) - 40, static_cast<int>(mount.y),
                                 static_cast<int>(mount.x) + 40, 399}),
              1000);
    EXPECT_EQ(image.count(WHITE), 0) << "no shot was fired";
}

TEST_F(RealWindow, LaterPartsCoverEarlierOnes)
{
    // No depth buffer: the rear legs' hip balls, drawn after the hip block,
    // show through it although they lie behind it; the barrel, drawn after
    // the turret, shows in front of it.
    const Image image = paused();
    EXPECT_TRUE(shows(image, GREEN, bodyPoint(0.198, -0.55, -1.0)));
    EXPECT_TRUE(shows(image, GREEN, bodyPoint(-0.198, -0.55, -1.0)));
    EXPECT_GT(image.count(CYAN, bodyPoint(0.198, -0.55, -1.0)), 0) << "the probe lies over the hip block";
    EXPECT_TRUE(shows(image, MAGENTA, bodyPoint(0, 0, 0.35)));
}

TEST_F(RealWindow, UnboundKeysPauseAndCapitalSResumes)
{
    for (char key : {'q', ' ', '\x1b', 'A'}) {
        const Image still = w().waitForChange(w().capture());
        ASSERT_FALSE(still.pixels.empty()) << "the walker is not walking before key " << int(key);
        w().key(key);
        const Image rest = w().waitForStill();
        ASSERT_FALSE(rest.pixels.empty()) << "key " << int(key) << " did not pause";
        EXPECT_TRUE(w().staysStill(rest, Millis(500))) << "key " << int(key);
        EXPECT_EQ(rest.count(WHITE), 0) << "key " << int(key) << " fired";
        w().key('S');
        EXPECT_FALSE(w().waitForChange(rest).pixels.empty()) << "S did not resume after key " << int(key);
    }
}

TEST_F(RealWindow, SmallSStepsOnceWhilePaused)
{
    const Image start = paused();
    w().key('s');
    const Image stepped = w().waitForChange(start);
    ASSERT_FALSE(stepped.pixels.empty()) << "s changed nothing";
    EXPECT_FALSE(w().waitForStill().pixels.empty());
    EXPECT_TRUE(w().staysStill(w().capture(), Millis(500))) << "s resumed the walk";
    // One step a press: half a cycle later the legs have changed sides, a
    // whole cycle later the picture is exactly the one it started from.
    for (int i = 1; i < 80; ++i) {
        w().key('s');
    }
    const Image half = w().waitForStill();
    EXPECT_NE(half, start);
    for (int i = 0; i < 80; ++i) {
        w().key('s');
    }
    EXPECT_EQ(w().waitForStill(), start);
}

TEST_F(RealWindow, ShotShowsInTheNextFrameOnly)
{
    const Image start = paused();
    w().key('a');
    const Image shot = w().waitForChange(start);
    ASSERT_FALSE(shot.pixels.empty()) << "a drew nothing";
    EXPECT_GT(shot.count(WHITE), 100);
    // The beam runs from the barrel's mouth toward the viewer.
    EXPECT_TRUE(shows(shot, WHITE, bodyPoint(0, 0, 1.15)));
    EXPECT_TRUE(w().staysStill(shot, Millis(400)));
    w().key('s');
    const Image next = w().waitForChange(shot);
    ASSERT_FALSE(next.pixels.empty());
    EXPECT_EQ(w().waitForStill().count(WHITE), 0);
    // Two shots before one frame still give one one-frame beam.
    w().key('a');
    w().key('a');
    EXPECT_GT(w().waitForStill().count(WHITE), 100);
    w().key('s');
    EXPECT_EQ(w().waitForChange(w().capture()).count(WHITE), 0);
}

TEST_F(RealWindow, OneDrawsWireframeAndTwoSolid)
{
    const Image solid = paused();
    w().key('1');
    const Image wire = w().waitForChange(solid);
    ASSERT_FALSE(wire.pixels.empty());
    // Over a whole cycle the lines cover 0.46 to 0.50 of what the faces do, and
    // the hip block's edges 0.23 to 0.29 of its faces: margins a pose cannot cross.
    EXPECT_LT(wire.countNot(BLACK), solid.countNot(BLACK) * 3 / 5);
    EXPECT_LT(wire.count(CYAN), solid.count(CYAN) / 2);
    for (std::uint32_t colour : {GREEN, MAGENTA, CYAN, BLUE}) {
        EXPECT_GT(wire.count(colour), 20) << std::hex << colour;
    }
    w().key('2');
    EXPECT_EQ(w().waitForChange(wire), solid);
}

TEST_F(RealWindow, ViewAndPoseKeysMoveThePictureAndBack)
{
    const Image start = paused();
    const double barrelX = start.meanX(MAGENTA);
    const Box size = start.boundsNot(BLACK);
    const Box hip = start.boundsOf(CYAN);

    struct Move {
        const char* name;
        std::function<void()> press, undo;
        std::function<bool(const Image&)> expected;
    };
    auto legsTurned = [&](const Image& i) { return i.count(BLUE) != start.count(BLUE) && i.meanX(MAGENTA) == barrelX; };
    auto keyOf = [this](char c) { return [this, c] { w().key(c); }; };
    auto symOf = [this](unsigned long s) { return [this, s] { w().keysym(s); }; };
    const std::vector<Move> moves{
        {"= nearer", keyOf('='), keyOf('-'),
         [&](const Image& i) { return i.boundsNot(BLACK).height() > size.height() + 10; }},
        {"- farther", keyOf('-'), keyOf('='),
         [&](const Image& i) { return i.boundsNot(BLACK).height() < size.height() - 10; }},
        {"z turret", keyOf('z'), keyOf('x'), [&](const Image& i) { return i.meanX(MAGENTA) > barrelX + 1; }},
        {"x turret", keyOf('x'), keyOf('z'), [&](const Image& i) { return i.meanX(MAGENTA) < barrelX - 1; }},
        {"left", symOf(XK_Left), symOf(XK_Right), [&](const Image& i) { return i.meanX(MAGENTA) > barrelX + 1; }},
        {"right", symOf(XK_Right), symOf(XK_Left), [&](const Image& i) { return i.meanX(MAGENTA) < barrelX - 1; }},
        // Up tips the front down, toward the viewer, and the rear up: the hip
        // block shows more of its top and looks taller; down, the opposite.
        // (The feet are no measure: which one is lowest depends on the step
        // the walk was paused at.)
        {"up", symOf(XK_Up), symOf(XK_Down),
         [&](const Image& i) { return i.boundsOf(CYAN).height() > hip.height() + 4; }},
        {"down", symOf(XK_Down), symOf(XK_Up),
         [&](const Image& i) { return i.boundsOf(CYAN).height() < hip.height() - 4; }},
        // The leg pairs turn; the turret and its barrel stay where they were.
        {", legs", keyOf(','), keyOf('.'), legsTurned},
        {". legs", keyOf('.'), keyOf(','), legsTurned},
    };
    for (const Move& move : moves) {
        move.press();
        const Image moved = w().waitForChange(start);
        ASSERT_FALSE(moved.pixels.empty()) << move.name << " changed nothing";
        EXPECT_TRUE(move.expected(w().waitForStill())) << move.name;
        move.undo();
        EXPECT_EQ(w().waitForStill(), start) << move.name << " and its opposite do not cancel";
    }
}

TEST_F(RealWindow, SpinAndDollyRunOnlyInsideSteps)
{
    const Image start = paused();
    w().key('d');
    EXPECT_TRUE(w().staysStill(start)) << "d alone showed something while paused";
    // A whole gait cycle brings the legs back; the spin has turned the view
    // by one degree a step, and turning it back by hand gives the first picture.
    for (int i = 0; i < CYCLE_STEPS; ++i) {
        w().key('s');
    }
    EXPECT_NE(w().waitForStill(), start);
    for (int i = 0; i < 32; ++i) {
        w().keysym(XK_Right);
    }
    EXPECT_EQ(w().waitForStill(), start) << "s did not carry exactly one spin degree a step";
    w().key('d');
    w().key('D');
    EXPECT_TRUE(w().staysStill(start)) << "D alone showed something while paused";
    // Twenty dolly steps bring the walker one unit nearer; the rest of the
    // cycle without the dolly, then one unit back by hand, gives the first
    // picture again.
    for (int i = 0; i < 20; ++i) {
        w().key('s');
    }
    const Image nearer = w().waitForStill();
    EXPECT_GT(nearer.boundsNot(BLACK).width(), start.boundsNot(BLACK).width() + 5);
    w().key('D');
    for (int i = 20; i < CYCLE_STEPS; ++i) {
        w().key('s');
    }
    w().key('-');
    EXPECT_EQ(w().waitForStill(), start) << "s did not carry exactly one dolly step";
}

TEST_F(RealWindow, WideWindowKeepsTheWalkersHeight)
{
    const Image square = paused();
    const Box before = square.boundsNot(BLACK);
    w().resize(800, 400);
    const Image wide = w().waitForChange(square);
    ASSERT_EQ(wide.width, 800);
    const Image settled = w().waitForStill();
    const Box after = settled.boundsNot(BLACK);
    EXPECT_NEAR(after.height(), before.height(), 1);
    EXPECT_NEAR(after.width(), before.width(), 1) << "the picture must not stretch";
    // The same picture, moved to the middle of the wider window.
    EXPECT_EQ(after.left, before.left + 200);
    EXPECT_EQ(after.top, before.top);
    // Any width: the aspect is no integer division.
    w().resize(600, 400);
    ASSERT_FALSE(w().waitForChange(settled).pixels.empty());
    const Box third = w().waitForStill().boundsNot(BLACK);
    EXPECT_EQ(third.left, before.left + 100);
    EXPECT_EQ(third.width(), before.width());
    w().resize(400, 400);
    EXPECT_FALSE(w().waitForChange(w().capture()).pixels.empty());
    EXPECT_EQ(w().waitForStill(), square);
}

TEST_F(RealWindow, OnePixelWindowsLeaveItRunningAndDrawing)
{
    const Image square = paused();
    for (auto size : {std::pair<int, int>{400, 1}, {1, 400}, {1, 1}}) {
        w().resize(size.first, size.second);
        int x = 0, y = 0, width = 0, height = 0;
        EXPECT_TRUE(pollUntil([&] { return w().geometry(x, y, width, height) && width == size.first; }, Millis(3000)));
        ASSERT_TRUE(w().alive());
    }
    w().resize(400, 400);
    EXPECT_EQ(w().waitForStill(), square);
    w().key('S');
    EXPECT_FALSE(w().waitForChange(square).pixels.empty());
    EXPECT_TRUE(w().alive());
}

}  // namespace
