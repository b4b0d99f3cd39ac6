// An ARM build (build/arm64, build/armhf) under qemu-user on the same Xvfb
// as this machine's program, started by its walker-qemu (WALKER_EMULATED):
// the same pictures after the same real keys, and a storm of keys. The
// real-window tests run against it as well (tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "checks.h"

namespace {

using namespace harness;

class Emulated : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(display_.start()) << "Xvfb did not start";
        const char* launcher = std::getenv("WALKER_EMULATED");
        ASSERT_TRUE(launcher != nullptr && *launcher != '\0') << "WALKER_EMULATED names no walker-qemu";
        port_ = std::make_unique<Walker>(display_);
        ASSERT_TRUE(port_->start(launcher)) << launcher << " showed no window";
        std::printf("%s: a frame every %lld ms as it starts\n", launcher,
                    static_cast<long long>(port_->framePeriod().count()));
    }

    VirtualDisplay display_;
    std::unique_ptr<Walker> port_;
};

TEST_F(Emulated, DrawsWhatTheNativeProgramDrawsAfterTheSameKeys)
{
    expectSamePicturesAsNative(port_, display_);
}

TEST_F(Emulated, StormOfKeysAndResizesLeavesItWalking)
{
    expectSurvivesAStorm(*port_, 400);
}

}  // namespace
