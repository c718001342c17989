// Primitives: immediate mode and client arrays become transformed corners
// here, and culling, polygon outlines and wide lines are worked out on them,
// because WebGL has no polygon mode, culls no lines and draws lines one pixel
// wide. What is left goes to WebGL in the order OpenGL would draw it.
#include <cmath>
#include <initializer_list>

#include "web/gl/device_sync.h"

namespace sgwebgl {

namespace {

// With lighting on and no light enabled, OpenGL's colour is the global
// ambient (0.2) times the default material ambient (0.2), alpha the
// material's diffuse alpha.
constexpr float kUnlitColor[4] = {0.04f, 0.04f, 0.04f, 1.0f};
constexpr int kMaxPolygonCorners = 4;  // quads

void Flush() {
  Context& context = Ctx();
  if (!context.batch.empty()) device::Draw(context.batchPrimitive, context.batch);
  context.batch.clear();
}

void Emit(GLenum primitive, std::initializer_list<ClipVertex> vertices) {
  Context& context = Ctx();
  if (primitive != context.batchPrimitive) {
    Flush();
    context.batchPrimitive = primitive;
  }
  context.batch.insert(context.batch.end(), vertices);
}

ClipVertex MakeCorner(const float (&position)[4], const float (&uv0)[2]) {
  const Mat4& mvp = ModelViewProjection();
  const Mat4& modelview = ModelView();
  const AttribState& state = Ctx().state;
  ClipVertex corner;
  float eyeZ = 0.0f;
  for (int row = 0; row < 4; ++row) {
    corner.clip[row] = 0.0f;
    for (int k = 0; k < 4; ++k) corner.clip[row] += mvp.m[k * 4 + row] * position[k];
  }
  for (int k = 0; k < 4; ++k) eyeZ += modelview.m[k * 4 + 2] * position[k];
  corner.fogDistance = std::fabs(eyeZ);
  for (int c = 0; c < 4; ++c) {
    corner.color[c] = state.enable.lighting ? kUnlitColor[c] : std::fmin(std::fmax(state.current.color[c], 0.0f), 1.0f);
  }
  corner.uv[0][0] = uv0[0];
  corner.uv[0][1] = uv0[1];
  corner.uv[1][0] = state.current.texCoord[1][0];
  corner.uv[1][1] = state.current.texCoord[1][1];
  return corner;
}

// Twice the signed window area of triangle abc scaled by its three w, which
// keeps the sign of the part in front of the eye.
double HomogeneousArea(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
  auto minor = [](const ClipVertex& p, const ClipVertex& q, int i, int j) {
    return static_cast<double>(p.clip[i]) * q.clip[j] - static_cast<double>(p.clip[j]) * q.clip[i];
  };
  return a.clip[0] * minor(b, c, 1, 3) - a.clip[1] * minor(b, c, 0, 3) + a.clip[3] * minor(b, c, 0, 1);
}

// Counter-clockwise on screen is front, as glFrontFace's default has it.
bool FrontFacing(const ClipVertex* v, int count) {
  double area = 0.0;
  for (int i = 1; i + 1 < count; ++i) area += HomogeneousArea(v[0], v[i], v[i + 1]);
  return area > 0.0;
}

bool Culled(bool front) {
  const AttribState& state = Ctx().state;
  if (!state.enable.cullFace) return false;
  return state.polygon.cullMode == GL_FRONT_AND_BACK || (state.polygon.cullMode == GL_FRONT) == front;
}

template <int N>
void Mix(float (&out)[N], const float (&a)[N], const float (&b)[N], float t) {
  for (int i = 0; i < N; ++i) out[i] = a[i] + (b[i] - a[i]) * t;
}

ClipVertex Between(const ClipVertex& a, const ClipVertex& b, float t) {
  ClipVertex mixed;
  Mix(mixed.clip, a.clip, b.clip, t);
  Mix(mixed.color, a.color, b.color, t);
  Mix(mixed.uv[0], a.uv[0], b.uv[0], t);
  Mix(mixed.uv[1], a.uv[1], b.uv[1], t);
  mixed.fogDistance = a.fogDistance + (b.fogDistance - a.fogDistance) * t;
  return mixed;
}

// Signed distance from the near plane (z = -w), positive in front of it.
float NearDistance(const ClipVertex& v) { return v.clip[2] + v.clip[3]; }

// Cuts the segment at the near plane; false when none of it is in front.
// Done here rather than left to WebGL, whose rasterizers do not all clip a
// line that reaches behind the eye.
bool ClipToNear(ClipVertex& a, ClipVertex& b) {
  const float da = NearDistance(a);
  const float db = NearDistance(b);
  if (da < 0.0f && db < 0.0f) return false;
  if (da < 0.0f) a = Between(a, b, da / (da - db));
  if (db < 0.0f) b = Between(b, a, db / (db - da));
  return a.clip[3] > 0.0f && b.clip[3] > 0.0f;
}

// The polygon's part in front of the near plane, in order, into out (room
// for count + 1 corners); its corner count. An outline is drawn around this
// part, the cut included, as OpenGL outlines the clipped polygon.
int ClipPolygonToNear(const ClipVertex* v, int count, ClipVertex* out) {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    const ClipVertex& a = v[i];
    const ClipVertex& b = v[(i + 1) % count];
    const float da = NearDistance(a);
    const float db = NearDistance(b);
    if (da >= 0.0f) out[kept++] = a;
    if ((da >= 0.0f) != (db >= 0.0f)) out[kept++] = Between(a, b, da / (da - db));
  }
  return kept;
}

// Moves a corner across the line by (dx, dy) in normalised device units.
ClipVertex Offset(ClipVertex v, float dx, float dy) {
  v.clip[0] += dx * v.clip[3];
  v.clip[1] += dy * v.clip[3];
  return v;
}

// A rectangle lineWidth pixels across, from end to end of the segment.
void WideLine(const ClipVertex& a, const ClipVertex& b) {
  const Context& context = Ctx();
  const float halfWidth = context.state.line.width / 2.0f;
  const float dx = (b.clip[0] / b.clip[3] - a.clip[0] / a.clip[3]) * context.viewportWidth / 2.0f;
  const float dy = (b.clip[1] / b.clip[3] - a.clip[1] / a.clip[3]) * context.viewportHeight / 2.0f;
  const float length = std::hypot(dx, dy);
  if (length == 0.0f) return;
  const float nx = -dy / length * halfWidth * 2.0f / context.viewportWidth;
  const float ny = dx / length * halfWidth * 2.0f / context.viewportHeight;
  const ClipVertex a0 = Offset(a, -nx, -ny), a1 = Offset(a, nx, ny);
  const ClipVertex b0 = Offset(b, -nx, -ny), b1 = Offset(b, nx, ny);
  Emit(GL_TRIANGLES, {a0, b0, b1, a0, b1, a1});
}

void Line(ClipVertex a, ClipVertex b) {
  if (!ClipToNear(a, b)) return;
  if (Ctx().state.line.width > 1.0f) {
    WideLine(a, b);
  } else {
    Emit(GL_LINES, {a, b});
  }
}

void Polygon(const ClipVertex* v, int count) {
  const bool front = FrontFacing(v, count);
  if (Culled(front)) return;
  if (Ctx().state.polygon.mode[front ? 0 : 1] == GL_LINE) {
    ClipVertex visible[kMaxPolygonCorners + 1];
    const int corners = ClipPolygonToNear(v, count, visible);
    for (int i = 0; i < corners; ++i) Line(visible[i], visible[(i + 1) % corners]);
    return;
  }
  for (int i = 1; i + 1 < count; ++i) Emit(GL_TRIANGLES, {v[0], v[i], v[i + 1]});
}

void Assemble(GLenum mode, const std::vector<ClipVertex>& corners) {
  const int count = static_cast<int>(corners.size());
  const ClipVertex* v = corners.data();
  if (mode == GL_TRIANGLES) {
    for (int i = 0; i + 3 <= count; i += 3) Polygon(v + i, 3);
  } else if (mode == GL_QUADS) {
    for (int i = 0; i + 4 <= count; i += 4) Polygon(v + i, 4);
  } else if (mode == GL_LINES) {
    for (int i = 0; i + 2 <= count; i += 2) Line(v[i], v[i + 1]);
  }
  Flush();
}

const float* ArrayElement(const ClientArray& array, int index) {
  return reinterpret_cast<const float*>(reinterpret_cast<const char*>(array.pointer) +
                                        static_cast<size_t>(index) * array.stride);
}

ClipVertex CornerFromArrays(int index) {
  const Context& context = Ctx();
  const float* p = ArrayElement(context.vertexArray, index);
  const int size = context.vertexArray.size;
  const float position[4] = {p[0], p[1], size > 2 ? p[2] : 0.0f, size > 3 ? p[3] : 1.0f};
  float uv0[2] = {context.state.current.texCoord[0][0], context.state.current.texCoord[0][1]};
  if (context.texCoordArray.enabled && context.texCoordArray.pointer) {
    const float* t = ArrayElement(context.texCoordArray, index);
    uv0[0] = t[0];
    uv0[1] = context.texCoordArray.size > 1 ? t[1] : 0.0f;
  }
  return MakeCorner(position, uv0);
}

bool KnownMode(GLenum mode) { return mode == GL_TRIANGLES || mode == GL_QUADS || mode == GL_LINES; }

void SetArray(const char* call, ClientArray& array, GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  if (type != GL_FLOAT) return UnknownEnum(call, type);
  if (stride < 0) return;
  array.size = size;
  array.stride = stride ? stride : size * static_cast<int>(sizeof(float));
  array.pointer = static_cast<const float*>(pointer);
}

}  // namespace

}  // namespace sgwebgl

using sgwebgl::Ctx;

void glBegin(GLenum mode) {
  if (!sgwebgl::KnownMode(mode)) return sgwebgl::UnknownEnum("glBegin", mode);
  if (Ctx().inBegin) return;
  Ctx().inBegin = true;
  Ctx().beginMode = mode;
  Ctx().corners.clear();
}

void glEnd() {
  if (!Ctx().inBegin) return;
  Ctx().inBegin = false;
  sgwebgl::Assemble(Ctx().beginMode, Ctx().corners);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (!Ctx().inBegin) return;
  const float position[4] = {x, y, z, 1.0f};
  const float(&uv0)[2] = Ctx().state.current.texCoord[0];
  Ctx().corners.push_back(sgwebgl::MakeCorner(position, uv0));
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  if (size >= 2 && size <= 4) sgwebgl::SetArray("glVertexPointer", Ctx().vertexArray, size, type, stride, pointer);
}

void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  if (size >= 1 && size <= 4) {
    sgwebgl::SetArray("glTexCoordPointer", Ctx().texCoordArray, size, type, stride, pointer);
  }
}

// Kept, though no light ever reads a normal here.
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer) {
  sgwebgl::SetArray("glNormalPointer", Ctx().normalArray, 3, type, stride, pointer);
}

// The referenced corners are copied out of the program's arrays, so that
// nothing of theirs has to live in WebGL buffers.
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  sgwebgl::Context& context = Ctx();
  if (!sgwebgl::KnownMode(mode)) return sgwebgl::UnknownEnum("glDrawElements", mode);
  if (type != GL_UNSIGNED_SHORT) return sgwebgl::UnknownEnum("glDrawElements", type);
  if (context.inBegin || !context.vertexArray.enabled || !context.vertexArray.pointer || !indices || count < 0) return;
  const GLushort* index = static_cast<const GLushort*>(indices);
  context.corners.clear();
  for (GLsizei i = 0; i < count; ++i) context.corners.push_back(sgwebgl::CornerFromArrays(index[i]));
  sgwebgl::Assemble(mode, context.corners);
}
