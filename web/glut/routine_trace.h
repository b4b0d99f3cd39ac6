// The chain of the program's routines that led to the call being made, for
// whatever watches the calls (trace_hooks.h). The page compiles copies of
// src/ that keep it (tools/trace_routines.mjs): each routine notes its entry,
// and each call the line it is made from. While nothing watches, the chain
// stays empty: a routine pays one test of traceHooks, a call one of the
// chain's depth.
#ifndef WALKER_WEB_ROUTINE_TRACE_H
#define WALKER_WEB_ROUTINE_TRACE_H

#include <array>

#include "trace_hooks.h"

// The walker draws eight routines deep.
constexpr int MAX_ROUTINE_DEPTH = 16;

struct TracedRoutine {
    const char* name;
    const char* file;  // in src/
    int line;          // of its name where it is defined
};

// The program's routines, numbered as the copies name them (written by the build).
extern const TracedRoutine TRACED_ROUTINES[];
extern const int TRACED_ROUTINE_COUNT;

// Outermost first: each routine's number and the line of the call it is
// making. Routines deeper than MAX_ROUTINE_DEPTH are counted, not kept.
struct RoutineChain {
    int depth;
    std::array<int, 2 * MAX_ROUTINE_DEPTH> links;
};

inline RoutineChain routineChain{};

// At a routine's entry, to its return: the depth comes back as it was, even
// where the routine began before anything watched.
class RoutineEntered {
public:
    explicit RoutineEntered(int routine) : outer(traceHooks != nullptr ? routineChain.depth : -1)
    {
        if (outer < 0) {
            return;
        }
        if (outer < MAX_ROUTINE_DEPTH) {
            routineChain.links[static_cast<std::size_t>(2 * outer)] = routine;
            routineChain.links[static_cast<std::size_t>(2 * outer + 1)] = 0;
        }
        routineChain.depth = outer + 1;
    }
    ~RoutineEntered()
    {
        if (outer >= 0) {
            routineChain.depth = outer;
        }
    }
    RoutineEntered(const RoutineEntered&) = delete;
    RoutineEntered& operator=(const RoutineEntered&) = delete;

private:
    int outer;  // the depth it found, or -1: nothing watched
};

// Before each call: the line it is made from. One comparison covers both an
// empty chain and one too deep to keep.
inline void routineAt(int line)
{
    const auto top = static_cast<unsigned>(routineChain.depth - 1);
    if (top < static_cast<unsigned>(MAX_ROUTINE_DEPTH)) {
        routineChain.links[2 * top + 1] = line;
    }
}

#endif
