// OpenGL 1.x, GLU and the extension tokens the program uses, in one include.
// The program fetches glActiveTextureARB and glMultiTexCoord2fARB itself at run
// time and keeps them in variables of those names; Mesa's gl.h would declare
// them as functions, so its multitexture block is kept out and the two
// pointer types and unit tokens are supplied here instead.
#pragma once

#include "win32.h"

#ifndef _WIN32
#define GL_ARB_multitexture 1
#endif
#include <GL/gl.h>
#include <GL/glu.h>
#ifdef _WIN32
#include <GL/glext.h>
#endif

#ifndef GL_TEXTURE0_ARB
#define GL_TEXTURE0_ARB 0x84C0
#define GL_TEXTURE1_ARB 0x84C1
#define GL_ACTIVE_TEXTURE_ARB 0x84E0
#define GL_MAX_TEXTURE_UNITS_ARB 0x84E2
#endif
#ifndef APIENTRYP
#define APIENTRYP APIENTRY*
#endif
typedef void(APIENTRYP SgActiveTextureProc)(GLenum texture);
typedef void(APIENTRYP SgMultiTexCoord2fProc)(GLenum target, GLfloat s, GLfloat t);
