// A WebGL device for native tests of the web GL layer: it draws nothing, but
// keeps what a WebGL context would (programs, their uniforms, bound
// textures) and records each draw with it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "web/gl/webgl_device.h"

namespace sgtest {

using Uniforms = std::map<std::string, std::vector<float>>;

struct RecordedDraw {
  GLenum primitive;
  std::vector<sgwebgl::ClipVertex> vertices;
  std::string fragmentSource;  // of the program in use
  Uniforms uniforms;           // of the program in use
  GLuint textures[sgwebgl::kTextureUnits];
};

class RecordingDevice final : public sgwebgl::WebGlDevice {
 public:
  std::vector<RecordedDraw> draws;

  void Start(int, int) override {}
  int MaxTextureSize() override { return 4096; }
  void SetCapability(GLenum, bool) override {}
  void BlendFunc(GLenum, GLenum) override {}
  void DepthFunc(GLenum) override {}
  void DepthMask(bool) override {}
  void ClearColor(const float (&)[4]) override {}
  void Clear(GLbitfield) override {}
  GLuint CreateTexture() override { return ++textures_; }
  void DeleteTexture(GLuint) override {}
  void ActiveTexture(int unit) override { unit_ = unit; }
  void BindTexture(GLuint texture) override { bound_[unit_] = texture; }
  void TexImage(int, int, int, const uint8_t*) override {}
  void TexFilters(GLenum, GLenum) override {}
  GLuint BuildProgram(const char*, const char* fragmentSource) override {
    programs_.push_back({fragmentSource, {}});
    return static_cast<GLuint>(programs_.size());
  }
  void UseProgram(GLuint program) override { current_ = program; }
  GLint UniformLocation(GLuint program, const char* name) override {
    locations_.emplace_back(program, name);
    return static_cast<GLint>(locations_.size() - 1);
  }
  void Uniform1i(GLint location, GLint value) override { Set(location, {static_cast<float>(value)}); }
  void Uniform2fv(GLint location, const float* v) override { Set(location, {v[0], v[1]}); }
  void Uniform3fv(GLint location, const float* v) override { Set(location, {v[0], v[1], v[2]}); }
  void Draw(GLenum primitive, const std::vector<sgwebgl::ClipVertex>& vertices) override {
    const Program& program = programs_.at(current_ - 1);
    draws.push_back({primitive, vertices, program.fragmentSource, program.uniforms, {bound_[0], bound_[1]}});
  }
  size_t ProgramsBuilt() const { return programs_.size(); }

 private:
  struct Program {
    std::string fragmentSource;
    Uniforms uniforms;
  };

  // As in WebGL, a location sets its own program's uniform, and only while
  // that program is in use.
  void Set(GLint location, std::vector<float> values) {
    const auto& [program, name] = locations_.at(static_cast<size_t>(location));
    if (program == current_) programs_.at(current_ - 1).uniforms[name] = std::move(values);
  }

  std::vector<Program> programs_;  // program n at n - 1
  std::vector<std::pair<GLuint, std::string>> locations_;
  GLuint current_ = 0;
  GLuint textures_ = 0;
  int unit_ = 0;
  GLuint bound_[sgwebgl::kTextureUnits] = {};
};

// Each test on a fresh 200 x 100 context drawing into a RecordingDevice.
class WebGlTest : public testing::Test {
 protected:
  void SetUp() override {
    auto recording = std::make_unique<RecordingDevice>();
    device = recording.get();
    sgwebgl::ResetContext(std::move(recording), 200, 100);
  }

  RecordingDevice* device = nullptr;
};

}  // namespace sgtest
