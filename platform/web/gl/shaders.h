// The fixed-function pipeline as GLSL ES 3.00: one program for each
// combination of active texture units, their environments and fog that is
// drawn, made the first time it is drawn and kept for the context.
#pragma once

#include <cstdint>

#include "web/gl/gl_state.h"

namespace sgwebgl {

// Attribute locations of ClipVertex's members.
enum VertexAttribute { kAttribClip = 0, kAttribColor, kAttribUv0, kAttribUv1, kAttribFogDistance };

// Which units take part and how, and fog; equal keys draw alike.
uint32_t ProgramKey(const AttribState& state);

// Makes the key's program current in WebGL (building it the first time),
// its fog uniforms set from state; current is the device's record of the
// current program, kept up to date.
void UseProgram(uint32_t key, const AttribState& state, GLuint& current);
// Forgets every program: they belonged to the previous context.
void ResetShaders();

}  // namespace sgwebgl
