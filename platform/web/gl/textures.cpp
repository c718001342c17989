// Texture objects, their images and mipmaps, and the texture environments.
// Images go to WebGL as RGBA8 whatever the program sent; which levels exist
// is kept here, so that completeness is decided by OpenGL 1.x's rules (an
// incomplete texture turns its unit off instead of sampling black).
#include <utility>

#include "web/gl/device_sync.h"
#include "web/gl/webgl_device.h"

namespace sgwebgl {

namespace {

bool IsMipmapFilter(GLenum filter) { return filter != GL_NEAREST && filter != GL_LINEAR; }

bool IsFilter(GLenum filter) {
  return filter == GL_NEAREST || filter == GL_LINEAR ||
         (filter >= GL_NEAREST_MIPMAP_NEAREST && filter <= GL_LINEAR_MIPMAP_LINEAR);
}

bool LayoutFor(GLenum format, GLenum type, PixelLayout& layout) {
  if (type != GL_UNSIGNED_BYTE) return false;
  switch (format) {
    case GL_RGB: layout = {3, 0, 1, 2, -1}; return true;
    case GL_BGR_EXT: layout = {3, 2, 1, 0, -1}; return true;
    case GL_BGRA_EXT: layout = {4, 2, 1, 0, 3}; return true;
    default: return false;
  }
}

// Only the RGB and RGBA internal formats; false for any other.
bool InternalFormatAlpha(GLint internalFormat, bool& hasAlpha) {
  switch (internalFormat) {
    case 3: case GL_RGB: case GL_RGB8: hasAlpha = false; return true;
    case 4: case GL_RGBA: case GL_RGBA8: hasAlpha = true; return true;
    default: return false;
  }
}

// Binding a name that was never generated makes it, as in OpenGL 1.x.
TextureObject& TextureNamed(GLuint name) {
  auto found = Ctx().textures.find(name);
  if (found != Ctx().textures.end()) return found->second;
  return Ctx().textures.emplace(name, NewTextureObject()).first->second;
}

TextureObject& BoundTexture() {
  const TextureGroup& texture = Ctx().state.texture;
  return TextureNamed(texture.units[texture.activeUnit].binding);
}

GLuint WebGlName(TextureObject& texture) {
  if (texture.webglName == 0) {
    texture.webglName = device::CreateTexture();
    device::SetFilters(texture.webglName, texture.minFilter, texture.magFilter);
  }
  return texture.webglName;
}

void StoreLevel(GLint level, const RgbaImage& image) {
  TextureObject& texture = BoundTexture();
  device::UploadLevel(WebGlName(texture), level, image.width, image.height, image.texels.data());
  texture.width[level] = image.width;
  texture.height[level] = image.height;
}

bool MipmapsComplete(const TextureObject& texture) {
  int width = texture.width[0];
  int height = texture.height[0];
  for (int level = 1; width > 1 || height > 1; ++level) {
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
    if (level >= kMaxTextureLevels || texture.width[level] != width || texture.height[level] != height) return false;
  }
  return true;
}

bool Complete(const TextureObject& texture) {
  if (texture.width[0] <= 0 || texture.height[0] <= 0) return false;
  return !IsMipmapFilter(texture.minFilter) || MipmapsComplete(texture);
}

// The field pname sets and whether v is one of its values; null for a
// pname not kept.
GLenum* EnvField(TexEnv& env, GLenum pname, GLenum v, bool& valid) {
  switch (pname) {
    case GL_TEXTURE_ENV_MODE:
      valid = v == GL_MODULATE || v == GL_COMBINE_ARB;
      return &env.mode;
    case GL_COMBINE_RGB_ARB:
      valid = v == GL_REPLACE || v == GL_MODULATE || v == GL_ADD || v == GL_ADD_SIGNED_ARB;
      return &env.combineRgb;
    case GL_SOURCE0_RGB_ARB:
    case GL_SOURCE1_RGB_ARB:
      valid = v == GL_PREVIOUS_ARB || v == GL_TEXTURE || v == GL_PRIMARY_COLOR_ARB;
      return &env.source[pname == GL_SOURCE1_RGB_ARB];
    case GL_OPERAND0_RGB_ARB:
    case GL_OPERAND1_RGB_ARB:
      valid = v == GL_SRC_COLOR || v == GL_ONE_MINUS_SRC_COLOR;
      return &env.operand[pname == GL_OPERAND1_RGB_ARB];
    default:
      return nullptr;
  }
}

// The upload's layout and whether its texels keep alpha; false, with the
// enum reported, for what the layer does not take.
bool UploadFormat(const char* call, GLint internalFormat, GLenum format, GLenum type, PixelLayout& layout,
                  bool& hasAlpha) {
  if (!LayoutFor(format, type, layout)) {
    UnknownEnum(call, type == GL_UNSIGNED_BYTE ? format : type);
    return false;
  }
  if (!InternalFormatAlpha(internalFormat, hasAlpha)) {
    UnknownEnum(call, static_cast<GLenum>(internalFormat));
    return false;
  }
  return true;
}

}  // namespace

TextureObject* FindTexture(GLuint name) {
  auto found = Ctx().textures.find(name);
  return found == Ctx().textures.end() ? nullptr : &found->second;
}

TextureObject NewTextureObject() {
  TextureObject texture = {};
  texture.minFilter = GL_NEAREST_MIPMAP_LINEAR;
  texture.magFilter = GL_LINEAR;
  return texture;
}

bool UnitActive(const AttribState& state, int unit) {
  if (!state.enable.texture2D[unit]) return false;
  const TextureObject* texture = FindTexture(state.texture.units[unit].binding);
  return texture && Complete(*texture);
}

}  // namespace sgwebgl

using sgwebgl::Ctx;
using sgwebgl::UnknownEnum;

void glGenTextures(GLsizei n, GLuint* textures) {
  sgwebgl::Context& context = Ctx();
  for (GLsizei i = 0; i < n; ++i) {
    while (sgwebgl::FindTexture(context.nextTextureName)) ++context.nextTextureName;
    textures[i] = context.nextTextureName++;
  }
}

void glBindTexture(GLenum target, GLuint texture) {
  if (target != GL_TEXTURE_2D) return UnknownEnum("glBindTexture", target);
  if (Ctx().inBegin) return;
  sgwebgl::TextureNamed(texture);
  sgwebgl::TextureGroup& state = Ctx().state.texture;
  state.units[state.activeUnit].binding = texture;
}

// A deleted texture that is bound leaves its units bound to 0.
void glDeleteTextures(GLsizei n, const GLuint* textures) {
  sgwebgl::Context& context = Ctx();
  for (GLsizei i = 0; i < n; ++i) {
    sgwebgl::TextureObject* texture = textures[i] ? sgwebgl::FindTexture(textures[i]) : nullptr;
    if (!texture) continue;
    if (texture->webglName) sgwebgl::device::DeleteTexture(texture->webglName);
    context.textures.erase(textures[i]);
    for (sgwebgl::UnitTexture& unit : context.state.texture.units) {
      if (unit.binding == textures[i]) unit.binding = 0;
    }
  }
}

// Only the filters: wrapping stays WebGL's default, GL_REPEAT.
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  const GLenum filter = static_cast<GLenum>(param);
  if (target != GL_TEXTURE_2D) return UnknownEnum("glTexParameteri", target);
  if (pname != GL_TEXTURE_MIN_FILTER && pname != GL_TEXTURE_MAG_FILTER) return UnknownEnum("glTexParameteri", pname);
  if (!sgwebgl::IsFilter(filter) || (pname == GL_TEXTURE_MAG_FILTER && sgwebgl::IsMipmapFilter(filter))) {
    return UnknownEnum("glTexParameteri", filter);
  }
  sgwebgl::TextureObject& texture = sgwebgl::BoundTexture();
  (pname == GL_TEXTURE_MIN_FILTER ? texture.minFilter : texture.magFilter) = filter;
  sgwebgl::device::SetFilters(sgwebgl::WebGlName(texture), texture.minFilter, texture.magFilter);
}

void glPixelStorei(GLenum pname, GLint param) {
  if (pname != GL_UNPACK_ALIGNMENT) return UnknownEnum("glPixelStorei", pname);
  if (param == 1 || param == 2 || param == 4 || param == 8) Ctx().unpackAlignment = param;
}

void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  sgwebgl::PixelLayout layout;
  bool hasAlpha = false;
  if (target != GL_TEXTURE_2D) return UnknownEnum("glTexImage2D", target);
  if (!sgwebgl::UploadFormat("glTexImage2D", internalformat, format, type, layout, hasAlpha)) return;
  if (level < 0 || level >= sgwebgl::kMaxTextureLevels || border != 0 || width < 0 || height < 0) return;
  sgwebgl::RgbaImage& image = Ctx().unpacked;
  image.width = width;
  image.height = height;
  if (pixels) {
    sgwebgl::UnpackToRgba(static_cast<const uint8_t*>(pixels), width, height, Ctx().unpackAlignment, layout,
                          hasAlpha, image);
  } else {
    image.texels.assign(static_cast<size_t>(width) * height * 4, 0);  // OpenGL leaves it undefined
  }
  sgwebgl::StoreLevel(level, image);
}

// GLU's way: the image rescaled to the nearest power of two on each side
// (within the largest texture WebGL takes), then halved level by level.
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                        GLenum type, const void* data) {
  sgwebgl::PixelLayout layout;
  bool hasAlpha = false;
  if (width < 1 || height < 1 || !data) return GLU_INVALID_VALUE;
  if (target != GL_TEXTURE_2D || !sgwebgl::LayoutFor(format, type, layout) ||
      !sgwebgl::InternalFormatAlpha(internalFormat, hasAlpha)) {
    return GLU_INVALID_ENUM;
  }
  sgwebgl::RgbaImage* level = &Ctx().unpacked;
  sgwebgl::RgbaImage* next = &Ctx().scaled;
  sgwebgl::UnpackToRgba(static_cast<const uint8_t*>(data), width, height, Ctx().unpackAlignment, layout, hasAlpha,
                        *level);
  int fitWidth = sgwebgl::NearestPowerOfTwo(width);
  int fitHeight = sgwebgl::NearestPowerOfTwo(height);
  sgwebgl::FitWithin(Ctx().device->MaxTextureSize(), fitWidth, fitHeight);
  if (fitWidth != width || fitHeight != height) {
    sgwebgl::ScaleImage(*level, fitWidth, fitHeight, *next);
    std::swap(level, next);
  }
  for (GLint index = 0;; ++index) {
    sgwebgl::StoreLevel(index, *level);
    if (level->width == 1 && level->height == 1) break;
    sgwebgl::HalveImage(*level, *next);
    std::swap(level, next);
  }
  return 0;
}

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
  if (target != GL_TEXTURE_ENV) return UnknownEnum("glTexEnvi", target);
  sgwebgl::TextureGroup& state = Ctx().state.texture;
  const GLenum value = static_cast<GLenum>(param);
  bool valid = false;
  GLenum* field = sgwebgl::EnvField(state.units[state.activeUnit].env, pname, value, valid);
  if (!field) return UnknownEnum("glTexEnvi", pname);
  if (!valid) return UnknownEnum("glTexEnvi", value);
  if (!Ctx().inBegin) *field = value;
}
