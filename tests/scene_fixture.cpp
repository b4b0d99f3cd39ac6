#include "scene_fixture.h"

#include <tuple>

#include "gl_recorder.h"
#include "scene_state.h"

namespace {

// Every scene variable, as one tuple of references.
auto sceneVariables()
{
    return std::tie(viewYaw, viewPitch, dollyZ, autoDolly, dollyDirection, autoSpin, drawMode, turretYaw, legYaw,
                    beamState, legs[0], legs[1], bodyOffset, phase, phaseCounter, heightHipA, heightKneeA, heightHipB,
                    heightKneeB);
}

template <class... T>
std::tuple<T...> valuesOf(const std::tuple<T&...>& variables)
{
    return variables;
}

// Taken during static initialisation, before any test has run: the scene
// variables are constant-initialised, so this holds their starting values.
const auto PRISTINE = valuesOf(sceneVariables());

}  // namespace

void resetScene()
{
    sceneVariables() = PRISTINE;
    recorder::clear();
    recorder::resetStrings();
    recorder::setIdle(nullptr);
}

void poseAsStarted()
{
    legs[0].hip = heightHipA;
    legs[1].hip = heightHipB;
}
