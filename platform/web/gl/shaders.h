// The fixed-function pipeline as GLSL ES 3.00: one program for each
// combination of active texture units, their environments and fog that is
// drawn, made the first time it is drawn and kept with the context.
#pragma once

#include <cstdint>

#include "web/gl/gl_state.h"

namespace sgwebgl {

// Which units take part and how, and fog; equal keys draw alike.
uint32_t ProgramKey(const AttribState& state);

// Makes the key's program current on the device (building it the first
// time), its fog uniforms set from state.
void UseProgram(uint32_t key, const AttribState& state);

}  // namespace sgwebgl
