// Empty stand-ins for every OpenGL and GLU call the scene draws and the
// attribute bracket make. Linked into bench_scenes_cpu only, where they take
// the place of the system library's, so that the time left is our own.
#include "opengl.h"

void GLAPIENTRY glBegin(GLenum) {}
void GLAPIENTRY glBindTexture(GLenum, GLuint) {}
void GLAPIENTRY glBlendFunc(GLenum, GLenum) {}
void GLAPIENTRY glClear(GLbitfield) {}
void GLAPIENTRY glClearColor(GLclampf, GLclampf, GLclampf, GLclampf) {}
void GLAPIENTRY glColor4f(GLfloat, GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glColor4ub(GLubyte, GLubyte, GLubyte, GLubyte) {}
void GLAPIENTRY glCullFace(GLenum) {}
void GLAPIENTRY glDepthFunc(GLenum) {}
void GLAPIENTRY glDepthMask(GLboolean) {}
void GLAPIENTRY glDisable(GLenum) {}
void GLAPIENTRY glEnable(GLenum) {}
void GLAPIENTRY glEnd() {}
void GLAPIENTRY glFogf(GLenum, GLfloat) {}
void GLAPIENTRY glFogfv(GLenum, const GLfloat*) {}
void GLAPIENTRY glHint(GLenum, GLenum) {}
void GLAPIENTRY glLineWidth(GLfloat) {}
void GLAPIENTRY glLoadIdentity() {}
void GLAPIENTRY glMatrixMode(GLenum) {}
void GLAPIENTRY glNormal3f(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glPolygonMode(GLenum, GLenum) {}
void GLAPIENTRY glPopAttrib() {}
void GLAPIENTRY glPopMatrix() {}
void GLAPIENTRY glPushAttrib(GLbitfield) {}
void GLAPIENTRY glPushMatrix() {}
void GLAPIENTRY glRotatef(GLfloat, GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glScalef(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY glTexCoord2f(GLfloat, GLfloat) {}
void GLAPIENTRY glTexEnvi(GLenum, GLenum, GLint) {}
void GLAPIENTRY glVertex3f(GLfloat, GLfloat, GLfloat) {}
void GLAPIENTRY gluLookAt(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {}
void GLAPIENTRY gluPerspective(GLdouble, GLdouble, GLdouble, GLdouble) {}
