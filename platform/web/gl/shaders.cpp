#include "web/gl/shaders.h"

#include <cmath>
#include <string>

#include "web/gl/webgl_device.h"

namespace sgwebgl {

namespace {

// A unit's part of the key, 12 bits: active, combine, the colour function
// and, for each of two arguments, its source and whether it is inverted.
constexpr uint32_t kActive = 1u << 0;
constexpr uint32_t kCombine = 1u << 1;
constexpr int kFunctionShift = 2;
constexpr int kArgumentShift[2] = {4, 7};
constexpr int kUnitShift = 12;
constexpr uint32_t kFog = 1u << 24;

constexpr GLenum kFunctions[] = {GL_REPLACE, GL_MODULATE, GL_ADD, GL_ADD_SIGNED_ARB};
constexpr GLenum kSources[] = {GL_PREVIOUS_ARB, GL_TEXTURE, GL_PRIMARY_COLOR_ARB};

template <size_t N>
uint32_t IndexOf(const GLenum (&values)[N], GLenum value) {
  for (size_t i = 0; i < N; ++i) {
    if (values[i] == value) return static_cast<uint32_t>(i);
  }
  return 0;
}

uint32_t UnitKey(const AttribState& state, int unit) {
  if (!UnitActive(state, unit)) return 0;
  const TexEnv& env = state.texture.units[unit].env;
  if (env.mode != GL_COMBINE_ARB) return kActive;
  uint32_t key = kActive | kCombine | IndexOf(kFunctions, env.combineRgb) << kFunctionShift;
  for (int arg = 0; arg < 2; ++arg) {
    const uint32_t inverted = env.operand[arg] == GL_ONE_MINUS_SRC_COLOR ? 4 : 0;
    key |= (IndexOf(kSources, env.source[arg]) | inverted) << kArgumentShift[arg];
  }
  return key;
}

std::string Argument(uint32_t unitKey, int arg) {
  static const char* const kNames[] = {"previous.rgb", "texel.rgb", "primary.rgb"};
  const uint32_t bits = unitKey >> kArgumentShift[arg];
  const std::string source = kNames[bits & 3];
  return (bits & 4) ? "(1.0 - " + source + ")" : source;
}

std::string CombinedColour(uint32_t unitKey) {
  const std::string a0 = Argument(unitKey, 0);
  const std::string a1 = Argument(unitKey, 1);
  switch ((unitKey >> kFunctionShift) & 3) {
    case 0: return a0;
    case 1: return a0 + " * " + a1;
    case 2: return a0 + " + " + a1;
    default: return a0 + " + " + a1 + " - 0.5";
  }
}

// One unit's stage; units that take no part pass the colour on.
std::string UnitStage(int unit, uint32_t unitKey) {
  if (!(unitKey & kActive)) return "";
  const std::string n = std::to_string(unit);
  std::string stage = "  texel = texture(uTexture" + n + ", vUv" + n + ");\n";
  if (!(unitKey & kCombine)) return stage + "  previous = previous * texel;\n";
  return stage + "  previous = vec4(clamp(" + CombinedColour(unitKey) + ", 0.0, 1.0), texel.a * previous.a);\n";
}

const char kVertexShader[] = R"(#version 300 es
layout(location = 0) in vec4 aClip;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aUv0;
layout(location = 3) in vec2 aUv1;
layout(location = 4) in float aFogDistance;
out vec4 vColor;
out vec2 vUv0;
out vec2 vUv1;
out float vFogDistance;
void main() {
  gl_Position = aClip;
  vColor = aColor;
  vUv0 = aUv0;
  vUv1 = aUv1;
  vFogDistance = aFogDistance;
}
)";

const char kFragmentHead[] = R"(#version 300 es
precision highp float;
in vec4 vColor;
in vec2 vUv0;
in vec2 vUv1;
in float vFogDistance;
uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
uniform vec3 uFogColor;
uniform vec2 uFogRange;  // end, 1 / (end - start)
out vec4 fragColor;
void main() {
  vec4 primary = vColor;
  vec4 previous = primary;
  vec4 texel;
)";

// Linear fog on the colour only: alpha is left as it is. The program uses
// no other fog mode; GL_EXP and GL_EXP2 are kept but drawn as this.
const char kFogStage[] =
    "  float fog = clamp((uFogRange.x - vFogDistance) * uFogRange.y, 0.0, 1.0);\n"
    "  previous.rgb = mix(uFogColor, previous.rgb, fog);\n";

std::string FragmentShaderSource(uint32_t key) {
  std::string source = kFragmentHead;
  for (int unit = 0; unit < kTextureUnits; ++unit) source += UnitStage(unit, (key >> (unit * kUnitShift)) & 0xfff);
  if (key & kFog) source += kFogStage;
  return source + "  fragColor = previous;\n}\n";
}

ShaderProgram Build(uint32_t key) {
  WebGlDevice& device = *Ctx().device;
  const GLuint program = device.BuildProgram(kVertexShader, FragmentShaderSource(key).c_str());
  device.UseProgram(program);
  device.Uniform1i(device.UniformLocation(program, "uTexture0"), 0);
  device.Uniform1i(device.UniformLocation(program, "uTexture1"), 1);
  ShaderProgram built = {key, program, device.UniformLocation(program, "uFogColor"),
                         device.UniformLocation(program, "uFogRange"), {}};
  for (float& value : built.uploadedFog) value = NAN;
  return built;
}

ShaderProgram* FindProgram(uint32_t key) {
  for (ShaderProgram& program : Ctx().programs) {
    if (program.key == key) return &program;
  }
  return nullptr;
}

// An empty fog range (start = end) fogs everything past the end.
void SetFog(ShaderProgram& program, const FogGroup& fog) {
  const float span = fog.end - fog.start;
  const float fogValues[5] = {fog.color[0], fog.color[1], fog.color[2], fog.end, span != 0.0f ? 1.0f / span : 1e30f};
  bool same = true;
  for (int i = 0; i < 5; ++i) same = same && fogValues[i] == program.uploadedFog[i];
  if (same) return;
  Ctx().device->Uniform3fv(program.fogColor, fogValues);
  Ctx().device->Uniform2fv(program.fogRange, fogValues + 3);
  for (int i = 0; i < 5; ++i) program.uploadedFog[i] = fogValues[i];
}

}  // namespace

uint32_t ProgramKey(const AttribState& state) {
  uint32_t key = state.enable.fog ? kFog : 0;
  for (int unit = 0; unit < kTextureUnits; ++unit) {
    key |= UnitKey(state, unit) << (unit * kUnitShift);
  }
  return key;
}

void UseProgram(uint32_t key, const AttribState& state) {
  Context& context = Ctx();
  ShaderProgram* program = FindProgram(key);
  if (!program) {
    context.programs.push_back(Build(key));  // leaves it in use
    program = &context.programs.back();
    context.applied.program = program->program;
  }
  if (context.applied.program != program->program) {
    context.device->UseProgram(program->program);
    context.applied.program = program->program;
  }
  if (key & kFog) SetFog(*program, state.fog);
}

}  // namespace sgwebgl
