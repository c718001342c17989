// The modelview and projection stacks and the GLU camera helpers. Products
// are taken in float, as OpenGL keeps its matrices; GLU works its matrices
// out in double and hands them over as float.
#include <cmath>

#include "web/gl/gl_state.h"

namespace sgwebgl {

namespace {

constexpr double kPi = 3.14159265358979323846;

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 product;
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[column * 4 + k];
      product.m[column * 4 + row] = sum;
    }
  }
  return product;
}

Mat4& Current() {
  MatrixStack& stack = CurrentStack();
  return stack.entries[stack.top];
}

void Changed() { Ctx().mvpDirty = true; }

// Current = current x factor, as every glMultMatrix-like call does.
void MultiplyCurrent(const Mat4& factor) {
  if (Ctx().inBegin) return;
  Current() = Multiply(Current(), factor);
  Changed();
}

// A matrix GLU built in double, given to OpenGL as float.
Mat4 ToFloat(const double (&m)[16]) {
  Mat4 converted;
  for (int i = 0; i < 16; ++i) converted.m[i] = static_cast<float>(m[i]);
  return converted;
}

void Normalize(double (&v)[3]) {
  double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0.0) return;
  for (double& component : v) component /= length;
}

void Cross(const double (&a)[3], const double (&b)[3], double (&out)[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

Mat4 Identity() {
  Mat4 identity = {};
  identity.m[0] = identity.m[5] = identity.m[10] = identity.m[15] = 1.0f;
  return identity;
}

MatrixStack& CurrentStack() {
  Context& context = Ctx();
  return context.state.transform.matrixMode == GL_PROJECTION ? context.projection : context.modelview;
}

const Mat4& ModelView() { return Ctx().modelview.entries[Ctx().modelview.top]; }

const Mat4& ModelViewProjection() {
  Context& context = Ctx();
  if (context.mvpDirty) {
    context.mvp = Multiply(context.projection.entries[context.projection.top], ModelView());
    context.mvpDirty = false;
  }
  return context.mvp;
}

}  // namespace sgwebgl

using sgwebgl::Ctx;
using sgwebgl::Mat4;

// Only the two stacks the program uses; other modes are refused.
void glMatrixMode(GLenum mode) {
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION) return sgwebgl::UnknownEnum("glMatrixMode", mode);
  if (!Ctx().inBegin) Ctx().state.transform.matrixMode = mode;
}

void glLoadIdentity() {
  if (Ctx().inBegin) return;
  sgwebgl::MatrixStack& stack = sgwebgl::CurrentStack();
  stack.entries[stack.top] = sgwebgl::Identity();
  sgwebgl::Changed();
}

// A full stack refuses the push and an empty one the pop, as OpenGL does.
void glPushMatrix() {
  sgwebgl::MatrixStack& stack = sgwebgl::CurrentStack();
  if (Ctx().inBegin) return;
  if (stack.top + 1 >= sgwebgl::kMatrixStackDepth) return sgwebgl::RaiseError(GL_STACK_OVERFLOW);
  stack.entries[stack.top + 1] = stack.entries[stack.top];
  ++stack.top;
}

void glPopMatrix() {
  sgwebgl::MatrixStack& stack = sgwebgl::CurrentStack();
  if (Ctx().inBegin) return;
  if (stack.top == 0) return sgwebgl::RaiseError(GL_STACK_UNDERFLOW);
  --stack.top;
  sgwebgl::Changed();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  Mat4 translation = sgwebgl::Identity();
  translation.m[12] = x;
  translation.m[13] = y;
  translation.m[14] = z;
  sgwebgl::MultiplyCurrent(translation);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
  Mat4 scale = sgwebgl::Identity();
  scale.m[0] = x;
  scale.m[5] = y;
  scale.m[10] = z;
  sgwebgl::MultiplyCurrent(scale);
}

// A zero axis leaves the matrix as it is.
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  double axis[3] = {x, y, z};
  if (axis[0] == 0.0 && axis[1] == 0.0 && axis[2] == 0.0) return;
  sgwebgl::Normalize(axis);
  const float ax = static_cast<float>(axis[0]);
  const float ay = static_cast<float>(axis[1]);
  const float az = static_cast<float>(axis[2]);
  const double radians = angle * sgwebgl::kPi / 180.0;
  const float s = static_cast<float>(std::sin(radians));
  const float c = static_cast<float>(std::cos(radians));
  const float t = 1.0f - c;
  Mat4 r = sgwebgl::Identity();
  r.m[0] = ax * ax * t + c;
  r.m[1] = ay * ax * t + az * s;
  r.m[2] = az * ax * t - ay * s;
  r.m[4] = ax * ay * t - az * s;
  r.m[5] = ay * ay * t + c;
  r.m[6] = az * ay * t + ax * s;
  r.m[8] = ax * az * t + ay * s;
  r.m[9] = ay * az * t - ax * s;
  r.m[10] = az * az * t + c;
  sgwebgl::MultiplyCurrent(r);
}

// Nothing happens for a degenerate frustum, as in GLU.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const double radians = fovy / 2.0 * sgwebgl::kPi / 180.0;
  const double depth = zFar - zNear;
  const double sine = std::sin(radians);
  if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return;
  const double cotangent = std::cos(radians) / sine;
  double m[16] = {};
  m[0] = cotangent / aspect;
  m[5] = cotangent;
  m[10] = -(zFar + zNear) / depth;
  m[11] = -1.0;
  m[14] = -2.0 * zNear * zFar / depth;
  sgwebgl::MultiplyCurrent(sgwebgl::ToFloat(m));
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ) {
  double forward[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
  double up[3] = {upX, upY, upZ};
  double side[3];
  sgwebgl::Normalize(forward);
  sgwebgl::Cross(forward, up, side);
  sgwebgl::Normalize(side);
  sgwebgl::Cross(side, forward, up);
  double m[16] = {};
  for (int i = 0; i < 3; ++i) {
    m[i * 4 + 0] = side[i];
    m[i * 4 + 1] = up[i];
    m[i * 4 + 2] = -forward[i];
  }
  m[15] = 1.0;
  sgwebgl::MultiplyCurrent(sgwebgl::ToFloat(m));
  glTranslatef(static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
}
