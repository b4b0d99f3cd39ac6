// Stand-ins that do nothing for the GL and GLUT calls of the program's own
// code, so that a benchmark measures what the program adds to a frame and a
// step. They live in their own file so the compiler cannot drop the calls.
#include <GL/glut.h>

void glPushMatrix() {}
void glPopMatrix() {}
void glTranslatef(GLfloat /*x*/, GLfloat /*y*/, GLfloat /*z*/) {}
void glRotatef(GLfloat /*angle*/, GLfloat /*x*/, GLfloat /*y*/, GLfloat /*z*/) {}
void glScalef(GLfloat /*x*/, GLfloat /*y*/, GLfloat /*z*/) {}
void glColor3f(GLfloat /*r*/, GLfloat /*g*/, GLfloat /*b*/) {}
void glutSolidCube(double /*size*/) {}
void glutWireCube(double /*size*/) {}
void glutSolidSphere(double /*radius*/, GLint /*slices*/, GLint /*stacks*/) {}
void glutWireSphere(double /*radius*/, GLint /*slices*/, GLint /*stacks*/) {}
void glutPostRedisplay() {}
void glutIdleFunc(void (* /*callback*/)()) {}
