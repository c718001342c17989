// An indexed triangle mesh drawn in immediate mode, through one texture unit
// or two, and the multitexture entry points fetched at run time. A mesh owns
// its arrays (allocated with new[]). Main thread, context current.
#pragma once

#include "opengl.h"

struct TriMeshVec3 {
  float x, y, z;
};

struct TriMeshUv {
  float u, v;
};

struct TriMeshVertex {
  TriMeshVec3 pos;
  TriMeshUv uv;
  TriMeshVec3 normal;
};

// Corners index the mesh's vertices in drawing order; a face with a corner
// outside the mesh is not drawn.
struct TriMeshFace {
  int corner[3];
};

struct TriMesh {
  int vertexCount;
  int faceCount;
  TriMeshVertex* vertices;
  TriMeshFace* faces;
};

// Null until InitTriMesh runs; scenes 1 to 3 call them without testing.
extern SgActiveTextureProc glActiveTextureARB;
extern SgMultiTexCoord2fProc glMultiTexCoord2fARB;

// Empties the mesh and fetches the entry points; without them it tells the
// user and posts the start-up failure's quit message.
void InitTriMesh(TriMesh& mesh);
void FreeTriMesh(TriMesh& mesh);
// One texture coordinate, normal and position per corner; leaves 2D
// texturing off on the active unit.
void DrawTriMesh(const TriMesh& mesh);
// Unit 0 carries texture0 at the mesh's coordinates, unit 1 texture1 at the
// coordinates moved by scroll towards -u and +v. Leaves unit 1 active with
// its 2D texturing off.
void DrawTriMeshTextured(const TriMesh& mesh, GLuint texture0, GLuint texture1, float scroll);
