// A program that imports opengl32.dll statically, as the saver once did: run beside a
// planted library, it shows that the test bed sees a library taken from the search path.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <GL/gl.h>

int main(int argc, char**) {
  // Never true: the import is what counts, not the call.
  return argc > 100 ? static_cast<int>(glGetError()) : 0;
}
