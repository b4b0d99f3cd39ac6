#pragma once

// GLUT keyboard callback for character keys. Every key without a binding
// pauses the walk.
void keyboard(unsigned char key, int x, int y);

// GLUT callback for special keys: the arrows turn the view; the others do
// nothing, and never pause the walk.
void specialKeys(int key, int x, int y);
