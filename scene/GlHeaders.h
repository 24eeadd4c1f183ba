#pragma once

// OpenGL and GLU for the scene's .cpp files only: on Windows the GL headers need
// <windows.h> first, which the scene's own headers must not pull in.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>
