// The triangle mesh of scene 1's mesh stage and the multitexture entry
// points, which every multitextured scene shares.
#include "scenes/tri_mesh.h"

#include "app/shell.h"

SgActiveTextureProc glActiveTextureARB = nullptr;
SgMultiTexCoord2fProc glMultiTexCoord2fARB = nullptr;

namespace {

// Through the untyped function pointer, which converts to any other without
// a warning whatever PROC is on the platform.
template <typename Proc>
Proc FetchProc(const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

// A face whose corners all name vertices of the mesh; others are skipped
// rather than read out of bounds.
bool FaceIsDrawable(const TriMesh& mesh, const TriMeshFace& face) {
  for (int corner : face.corner) {
    if (corner < 0 || corner >= mesh.vertexCount) return false;
  }
  return true;
}

int DrawableFaceCount(const TriMesh& mesh) { return mesh.vertices && mesh.faces ? mesh.faceCount : 0; }

void SendCorner(const TriMeshVertex& v) {
  glNormal3f(v.normal.x, v.normal.y, v.normal.z);
  glVertex3f(v.pos.x, v.pos.y, v.pos.z);
}

}  // namespace

void InitTriMesh(TriMesh& mesh) {
  mesh.vertexCount = 0;
  mesh.faceCount = 0;
  mesh.vertices = nullptr;
  mesh.faces = nullptr;
  glActiveTextureARB = FetchProc<SgActiveTextureProc>("glActiveTextureARB");
  glMultiTexCoord2fARB = FetchProc<SgMultiTexCoord2fProc>("glMultiTexCoord2fARB");
  if (!glActiveTextureARB || !glMultiTexCoord2fARB) {
    MessageBoxA(NULL, "no multitexturing support", "Error", MB_OK);
    PostQuitMessage(kStartupFailureExitCode);
  }
}

// Leaves the mesh empty, so that a second free or a later draw finds no
// released array to touch.
void FreeTriMesh(TriMesh& mesh) {
  delete[] mesh.vertices;
  delete[] mesh.faces;
  mesh.vertices = nullptr;
  mesh.faces = nullptr;
  mesh.vertexCount = 0;
  mesh.faceCount = 0;
}

void DrawTriMesh(const TriMesh& mesh) {
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < DrawableFaceCount(mesh); ++i) {
    if (!FaceIsDrawable(mesh, mesh.faces[i])) continue;
    for (int corner : mesh.faces[i].corner) {
      const TriMeshVertex& v = mesh.vertices[corner];
      glTexCoord2f(v.uv.u, v.uv.v);
      SendCorner(v);
    }
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void DrawTriMeshTextured(const TriMesh& mesh, GLuint texture0, GLuint texture1, float scroll) {
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture0);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture1);
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < DrawableFaceCount(mesh); ++i) {
    if (!FaceIsDrawable(mesh, mesh.faces[i])) continue;
    for (int corner : mesh.faces[i].corner) {
      const TriMeshVertex& v = mesh.vertices[corner];
      glMultiTexCoord2fARB(GL_TEXTURE0_ARB, v.uv.u, v.uv.v);
      glMultiTexCoord2fARB(GL_TEXTURE1_ARB, v.uv.u - scroll, v.uv.v + scroll);
      SendCorner(v);
    }
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
}
