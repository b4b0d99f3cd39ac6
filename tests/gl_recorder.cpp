#include "gl_recorder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

std::vector<RecordedCall> recorded;
bool keeping = true;
std::map<std::string, int> uncounted;  // calls not kept, by name
recorder::Callbacks registered;
std::map<GLenum, const char*> strings;
int depth = 0;

// A column-major 4x4 matrix, as the GL keeps it. Only the modelview stack is
// tracked: shape positions are model-space, not projected.
using Matrix = std::array<double, 16>;
constexpr Matrix IDENTITY{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
std::vector<Matrix> modelview{IDENTITY};
std::string currentColour = "white";  // the GL's starting colour
bool modelviewCurrent = true;

void multiply(const Matrix& right)
{
    if (!modelviewCurrent) {
        return;
    }
    const Matrix left = modelview.back();
    Matrix product{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += left[k * 4 + row] * right[col * 4 + k];
            }
            product[col * 4 + row] = sum;
        }
    }
    modelview.back() = product;
}

Matrix rotation(double degrees, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double radians = degrees * M_PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1.0 - c;
    return {t * x * x + c,
            t * x * y + s * z,
            t * x * z - s * y,
            0,
            t * x * y - s * z,
            t * y * y + c,
            t * y * z + s * x,
            0,
            t * x * z + s * y,
            t * y * z - s * x,
            t * z * z + c,
            0,
            0,
            0,
            0,
            1};
}

std::string formatNumber(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string enumName(GLenum value)
{
    switch (value) {
    case GL_PROJECTION:
        return "GL_PROJECTION";
    case GL_MODELVIEW:
        return "GL_MODELVIEW";
    case GL_SMOOTH:
        return "GL_SMOOTH";
    case GL_COLOR_BUFFER_BIT:
        return "GL_COLOR_BUFFER_BIT";
    case GL_VENDOR:
        return "GL_VENDOR";
    case GL_RENDERER:
        return "GL_RENDERER";
    case GL_EXTENSIONS:
        return "GL_EXTENSIONS";
    case GL_VERSION:
        return "GL_VERSION";
    default:
        return formatNumber(value);
    }
}

void append(const char* name, std::vector<double> args, const void* pointer, std::string text)
{
    if (!keeping) {
        ++uncounted[name];
        return;
    }
    RecordedCall call;
    call.name = name;
    call.args = std::move(args);
    call.pointer = pointer;
    call.text = std::move(text);
    recorded.push_back(std::move(call));
}

void record(const char* name, std::vector<double> args, const void* pointer = nullptr)
{
    if (!keeping) {
        ++uncounted[name];
        return;
    }
    std::string text = recorder::format(name, args);
    append(name, std::move(args), pointer, std::move(text));
}

void recordShape(const char* name, std::vector<double> args)
{
    record(name, std::move(args));
    if (!keeping) {
        return;
    }
    const Matrix& m = modelview.back();
    recorded.back().x = m[12];
    recorded.back().y = m[13];
    recorded.back().z = m[14];
    recorded.back().colour = currentColour;
}

std::string colourName(double r, double g, double b)
{
    static const std::map<std::array<double, 3>, std::string> names{{{0, 1, 0}, "green"}, {{0, 0, 1}, "blue"},
                                                                    {{0, 1, 1}, "cyan"},  {{1, 0, 1}, "magenta"},
                                                                    {{1, 1, 1}, "white"}, {{0, 0, 0}, "black"}};
    const auto found = names.find({r, g, b});
    return found != names.end() ? found->second : recorder::format("", {r, g, b});
}

void recordEnum(const char* name, GLenum value)
{
    append(name, {static_cast<double>(value)}, nullptr, std::string(name) + "(" + enumName(value) + ")");
}

void recordCallback(const char* name, const void* callback)
{
    append(name, {}, callback, std::string(name) + (callback != nullptr ? "(fn)" : "(NULL)"));
}

}  // namespace

namespace recorder {

std::string format(const std::string& name, const std::vector<double>& args)
{
    std::string text = name + '(';
    for (std::size_t i = 0; i < args.size(); ++i) {
        text += (i == 0 ? "" : ",") + formatNumber(args[i]);
    }
    return text + ')';
}

std::vector<RecordedCall> shapes()
{
    std::vector<RecordedCall> out;
    for (const auto& call : recorded) {
        if (call.name.find("Cube") != std::string::npos || call.name.find("Sphere") != std::string::npos) {
            out.push_back(call);
        }
    }
    return out;
}

const std::vector<RecordedCall>& calls()
{
    return recorded;
}

std::vector<std::string> texts()
{
    std::vector<std::string> out;
    out.reserve(recorded.size());
    for (const auto& call : recorded) {
        out.push_back(call.text);
    }
    return out;
}

std::vector<std::string> textsOf(const std::vector<std::string>& names)
{
    std::vector<std::string> out;
    for (const auto& call : recorded) {
        if (std::find(names.begin(), names.end(), call.name) != names.end()) {
            out.push_back(call.text);
        }
    }
    return out;
}

int count(const std::string& name)
{
    const auto notKept = uncounted.find(name);
    return static_cast<int>(
               std::count_if(recorded.begin(), recorded.end(), [&](const RecordedCall& c) { return c.name == name; })) +
           (notKept != uncounted.end() ? notKept->second : 0);
}

void setKeeping(bool keep)
{
    keeping = keep;
}

void clear()
{
    recorded.clear();
    uncounted.clear();
    keeping = true;
    depth = 0;
    modelview = {IDENTITY};
    modelviewCurrent = true;
    currentColour = "white";
}

void setString(GLenum name, const char* value)
{
    strings[name] = value;
}

void resetStrings()
{
    strings = {{GL_VENDOR, "Test Vendor"},
               {GL_RENDERER, "Test Renderer 1.0"},
               {GL_EXTENSIONS, "GL_EXT_one GL_EXT_two"},
               {GL_VERSION, "2.1 Test"}};
}

const Callbacks& callbacks()
{
    return registered;
}

void setIdle(void (*idle)())
{
    registered.idle = idle;
}

int stackDepth()
{
    return depth;
}

}  // namespace recorder

// GL
void glMatrixMode(GLenum mode)
{
    recordEnum("glMatrixMode", mode);
    modelviewCurrent = mode == GL_MODELVIEW;
}
void glLoadIdentity()
{
    record("glLoadIdentity", {});
    if (modelviewCurrent) {
        modelview.back() = IDENTITY;
    }
}
void glPushMatrix()
{
    record("glPushMatrix", {});
    ++depth;
    modelview.push_back(modelview.back());
}
void glPopMatrix()
{
    record("glPopMatrix", {});
    --depth;
    // An unbalanced pop is left for the depth count to reveal.
    if (modelview.size() > 1) {
        modelview.pop_back();
    }
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    record("glTranslatef", {x, y, z});
    multiply({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    record("glRotatef", {angle, x, y, z});
    multiply(rotation(angle, x, y, z));
}
void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    record("glScalef", {x, y, z});
    multiply({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    record("glViewport",
           {static_cast<double>(x), static_cast<double>(y), static_cast<double>(width), static_cast<double>(height)});
}
void glClear(GLbitfield mask)
{
    recordEnum("glClear", mask);
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a)
{
    record("glClearColor", {r, g, b, a});
}
void glClearDepth(GLclampd value)
{
    record("glClearDepth", {value});
}
void glShadeModel(GLenum mode)
{
    recordEnum("glShadeModel", mode);
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    record("glColor3f", {r, g, b});
    currentColour = colourName(r, g, b);
}
const GLubyte* glGetString(GLenum name)
{
    recordEnum("glGetString", name);
    const auto found = strings.find(name);
    return found == strings.end() ? nullptr : reinterpret_cast<const GLubyte*>(found->second);
}

// GLU
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}

// GLUT
void glutInit(int* pargc, char** argv)
{
    record("glutInit", {static_cast<double>(*pargc)}, argv);
}
void glutInitDisplayMode(unsigned int mode)
{
    record("glutInitDisplayMode", {static_cast<double>(mode)});
}
void glutInitWindowSize(int width, int height)
{
    record("glutInitWindowSize", {static_cast<double>(width), static_cast<double>(height)});
}
void glutInitWindowPosition(int x, int y)
{
    record("glutInitWindowPosition", {static_cast<double>(x), static_cast<double>(y)});
}
int glutCreateWindow(const char* title)
{
    append("glutCreateWindow", {}, nullptr, std::string("glutCreateWindow(") + title + ")");
    return 1;
}
void glutDisplayFunc(void (*callback)())
{
    registered.display = callback;
    recordCallback("glutDisplayFunc", reinterpret_cast<const void*>(callback));
}
void glutReshapeFunc(void (*callback)(int, int))
{
    registered.reshape = callback;
    recordCallback("glutReshapeFunc", reinterpret_cast<const void*>(callback));
}
void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    registered.keyboard = callback;
    recordCallback("glutKeyboardFunc", reinterpret_cast<const void*>(callback));
}
void glutSpecialFunc(void (*callback)(int, int, int))
{
    registered.special = callback;
    recordCallback("glutSpecialFunc", reinterpret_cast<const void*>(callback));
}
void glutIdleFunc(void (*callback)())
{
    registered.idle = callback;
    recordCallback("glutIdleFunc", reinterpret_cast<const void*>(callback));
}
void glutMainLoop()
{
    record("glutMainLoop", {});
}
void glutPostRedisplay()
{
    record("glutPostRedisplay", {});
}
void glutSwapBuffers()
{
    record("glutSwapBuffers", {});
}
void glutSolidCube(double size)
{
    recordShape("glutSolidCube", {size});
}
void glutWireCube(double size)
{
    recordShape("glutWireCube", {size});
}
void glutSolidSphere(double radius, GLint slices, GLint stacks)
{
    recordShape("glutSolidSphere", {radius, static_cast<double>(slices), static_cast<double>(stacks)});
}
void glutWireSphere(double radius, GLint slices, GLint stacks)
{
    recordShape("glutWireSphere", {radius, static_cast<double>(slices), static_cast<double>(stacks)});
}
