// The calls of the portable code that a back end may refuse: the headless
// back end does when a test asks it to (host::FailStep).
#pragma once

namespace sgwin {

enum class FallibleCall {
  RegisterClass,
  CreateWindow,
  GetDC,
  ChoosePixelFormat,
  SetPixelFormat,
  CreateContext,
  MakeCurrent,
  ReleaseCurrent,  // wglMakeCurrent(NULL, NULL)
  DeleteContext,
};

}  // namespace sgwin
