#pragma once

// Steps in every gait phase; each phase's excursions are split into this
// many equal increments.
constexpr int PHASE_STEPS = 20;
constexpr int PHASE_COUNT = 8;
// Steps in one whole gait cycle, after which every joint is back where it was.
constexpr int CYCLE_STEPS = PHASE_COUNT * PHASE_STEPS;

// Total excursion, in degrees, of the four moving joints over one phase.
struct PhaseExcursion {
    float leg0Hip;
    float leg0Knee;
    float leg1Hip;
    float leg1Knee;
};

extern const PhaseExcursion GAIT_TABLE[PHASE_COUNT];

// The idle callback: one gait step, one dolly and spin step if they are on,
// and a redisplay request. Also called once per 's' key for single-stepping.
void walkStep();
