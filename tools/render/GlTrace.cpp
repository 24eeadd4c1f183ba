#include "tools/render/GlTrace.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <utility>

#include "scene/QuadBatch.h"

namespace {

GlMode g_mode = GlMode::Plain;
std::vector<GlCall> g_calls;

GlArg Arg(float v) {
  return {v, true};
}
GlArg Arg(double v) {
  return {v, true};
}
GlArg Arg(int v) {
  return {static_cast<double>(v), false};
}
GlArg Arg(unsigned v) {
  return {static_cast<double>(v), false};
}

struct Recorder {
  const char* name;
  template <typename... A>
  void operator()(A... args) const {
    g_calls.push_back({name, {Arg(args)...}});
  }
};

bool Skipped() {
  return g_mode == GlMode::Null;
}
bool Tracing() {
  return g_mode == GlMode::Trace;
}

int LightParameterCount(GLenum pname) {
  switch (pname) {
    case GL_POSITION:
    case GL_AMBIENT:
    case GL_DIFFUSE:
    case GL_SPECULAR:
      return 4;
    case GL_SPOT_DIRECTION:
      return 3;
    default:
      return 1;
  }
}

}  // namespace

void SetGlMode(GlMode mode) {
  g_mode = mode;
}

GlMode CurrentGlMode() {
  return g_mode;
}

const std::vector<GlCall>& GlTraceCalls() {
  return g_calls;
}

void ClearGlTrace() {
  g_calls.clear();
}

std::string FormatGlCall(const GlCall& call) {
  std::string line = call.name;
  char buffer[64];
  for (const GlArg& a : call.args) {
    if (a.is_float) {
      std::snprintf(buffer, sizeof buffer, " %.9g", a.value);
    } else {
      std::snprintf(buffer, sizeof buffer, " %lld", static_cast<long long>(a.value));
    }
    line += buffer;
  }
  return line;
}

// The wrapped entry points. Each __real_ name is the library's own function.
#define TESSARYN_TRACED(name, params, call_args) \
  extern "C" void __real_##name params;          \
  extern "C" void __wrap_##name params {         \
    if (Skipped()) return;                       \
    if (Tracing()) Recorder{#name} call_args;    \
    __real_##name call_args;                     \
  }

TESSARYN_TRACED(glClear, (GLbitfield mask), (mask))
TESSARYN_TRACED(glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a))
TESSARYN_TRACED(glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))
TESSARYN_TRACED(glMatrixMode, (GLenum mode), (mode))
TESSARYN_TRACED(glLoadIdentity, (), ())
TESSARYN_TRACED(glEnable, (GLenum cap), (cap))
TESSARYN_TRACED(glBlendFunc, (GLenum s, GLenum d), (s, d))
TESSARYN_TRACED(glMaterialf, (GLenum face, GLenum pname, GLfloat v), (face, pname, v))
TESSARYN_TRACED(glPushMatrix, (), ())
TESSARYN_TRACED(glPopMatrix, (), ())
TESSARYN_TRACED(glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z))
TESSARYN_TRACED(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
TESSARYN_TRACED(glBegin, (GLenum mode), (mode))
TESSARYN_TRACED(glEnd, (), ())
TESSARYN_TRACED(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
TESSARYN_TRACED(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
TESSARYN_TRACED(glVertex2f, (GLfloat x, GLfloat y), (x, y))
TESSARYN_TRACED(glRasterPos2f, (GLfloat x, GLfloat y), (x, y))
TESSARYN_TRACED(glPushAttrib, (GLbitfield mask), (mask))
TESSARYN_TRACED(glPopAttrib, (), ())
TESSARYN_TRACED(glListBase, (GLuint base), (base))
TESSARYN_TRACED(gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble zn, GLdouble zf),
                (fovy, aspect, zn, zf))
TESSARYN_TRACED(gluLookAt,
                (GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                 GLdouble ux, GLdouble uy, GLdouble uz),
                (ex, ey, ez, cx, cy, cz, ux, uy, uz))

#undef TESSARYN_TRACED

// The vector arguments are recorded by value: the light's parameters, and the list
// names of a glCallLists as the bytes it was given.
extern "C" void __real_glLightfv(GLenum light, GLenum pname, const GLfloat* params);
extern "C" void __wrap_glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  if (Skipped()) return;
  if (Tracing()) {
    GlCall call{"glLightfv", {Arg(light), Arg(pname)}};
    for (int i = 0; i < LightParameterCount(pname); ++i) {
      call.args.push_back(Arg(params[i]));
    }
    g_calls.push_back(std::move(call));
  }
  __real_glLightfv(light, pname, params);
}

extern "C" void __real_glCallLists(GLsizei n, GLenum type, const GLvoid* lists);
extern "C" void __wrap_glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
  if (Skipped()) return;
  if (Tracing()) {
    GlCall call{"glCallLists", {Arg(n), Arg(type)}};
    if (type == GL_UNSIGNED_BYTE && lists != nullptr) {
      const auto* bytes = static_cast<const GLubyte*>(lists);
      for (GLsizei i = 0; i < n; ++i) {
        call.args.push_back(Arg(static_cast<unsigned>(bytes[i])));
      }
    }
    g_calls.push_back(std::move(call));
  }
  __real_glCallLists(n, type, lists);
}

// A batch of quads is recorded as the immediate-mode block it stands for, every vertex
// a glColor4f and a glVertex3f (or glVertex2f), the invisible quads that are not sent
// included: the trace shows what the scene draws, not how it is sent.
extern "C" void __real__Z13DrawQuadBatchRK9QuadBatch(const QuadBatch& batch);
extern "C" void __wrap__Z13DrawQuadBatchRK9QuadBatch(const QuadBatch& batch) {
  if (Skipped()) return;
  if (Tracing()) {
    Recorder{"glBegin"}(static_cast<GLenum>(GL_QUADS));
    for (const QuadVertex& v : batch.Vertices()) {
      Recorder{"glColor4f"}(v.red, v.green, v.blue, v.alpha);
      if (batch.Flat()) {
        Recorder{"glVertex2f"}(v.x, v.y);
      } else {
        Recorder{"glVertex3f"}(v.x, v.y, v.z);
      }
    }
    Recorder{"glEnd"}();
  }
  __real__Z13DrawQuadBatchRK9QuadBatch(batch);
}
