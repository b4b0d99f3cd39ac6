// The browser shows what was drawn when the task that drew it ends: there is
// nothing to swap. What watches the frames hears that one has ended.
#include <GL/glut.h>

#include "trace_hooks.h"

void glutSwapBuffers()
{
    if (traceHooks != nullptr) {
        traceHooks->frameEnded();
    }
}
