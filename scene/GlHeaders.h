#pragma once

// OpenGL and GLU for the scene's .cpp files only. Windows' GL headers bring <windows.h>
// with them; the scene's build keeps that lean (scene/CMakeLists.txt), and the scene's
// own headers never include this.
#include <GL/gl.h>
#include <GL/glu.h>
