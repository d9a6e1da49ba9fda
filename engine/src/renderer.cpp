#include "renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "shaders.h"

namespace engine {

using namespace gl;

namespace {

constexpr float kNear = 0.1f;
constexpr float kFar = 10000.0f;
constexpr size_t kInstanceBytes = 12 * sizeof(float);
constexpr size_t kMaxBackdropInstances = 16;  // a batch of more moves too often to keep

GLuint BuildShader(GLenum type, const std::string& source) {
  const GLuint shader = CreateShader(type);
  const char* text = source.c_str();
  ShaderSource(shader, 1, &text, nullptr);
  CompileShader(shader);
  GLint ok = 0;
  GetShaderiv(shader, kCompileStatus, &ok);
  if (!ok) {
    DeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint BuildProgram(const std::string& vertex, const std::string& fragment) {
  const GLuint vs = BuildShader(kVertexShader, vertex);
  const GLuint fs = BuildShader(kFragmentShader, fragment);
  GLuint program = 0;
  if (vs != 0 && fs != 0) {
    program = CreateProgram();
    AttachShader(program, vs);
    AttachShader(program, fs);
    LinkProgram(program);
    GLint ok = 0;
    GetProgramiv(program, kLinkStatus, &ok);
    if (!ok) {
      DeleteProgram(program);
      program = 0;
    }
  }
  if (vs != 0) DeleteShader(vs);
  if (fs != 0) DeleteShader(fs);
  return program;
}

void SetAttribute(GLuint index, GLint size, GLsizei stride, size_t offset) {
  EnableVertexAttribArray(index);
  VertexAttribPointer(index, size, kFloat, 0, stride, reinterpret_cast<const void*>(offset));
}

// Uploads mipmap levels 1 to maxLevel of the bound texture, each the 2 x 2 box average of the
// level above (rows of width * channels bytes, unpack alignment 1 or a multiple of 4). Mesa's
// software rasteriser makes mipmaps by drawing, which compiles shaders on first use: a large part
// of a run's start-up, where averaging here takes a few milliseconds for a full-screen picture.
void UploadMipLevels(int width, int height, int channels, const uint8_t* pixels, GLint internal,
                     GLenum format, int maxLevel) {
  std::vector<uint8_t> above, below;
  const uint8_t* source = pixels;
  for (int level = 1; level <= maxLevel && (width > 1 || height > 1); ++level) {
    const int w = std::max(1, width / 2), h = std::max(1, height / 2);
    below.resize(static_cast<size_t>(w) * h * channels);
    const size_t pitch = static_cast<size_t>(width) * channels;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row0 = source + std::min(2 * y, height - 1) * pitch;
      const uint8_t* row1 = source + std::min(2 * y + 1, height - 1) * pitch;
      uint8_t* out = &below[static_cast<size_t>(y) * w * channels];
      for (int x = 0; x < w; ++x) {
        const size_t a = static_cast<size_t>(std::min(2 * x, width - 1)) * channels;
        const size_t b = static_cast<size_t>(std::min(2 * x + 1, width - 1)) * channels;
        for (int c = 0; c < channels; ++c) {
          *out++ = static_cast<uint8_t>(
              (row0[a + c] + row0[b + c] + row1[a + c] + row1[b + c] + 2) >> 2);
        }
      }
    }
    TexImage2D(kTexture2D, level, internal, w, h, 0, format, kUnsignedByte, below.data());
    above.swap(below);
    source = above.data();
    width = w;
    height = h;
  }
}

bool IsBlended(const Material& m) {
  return m.blend != RTO_BLEND_OPAQUE;
}

void Put(std::vector<uint32_t>& out, std::initializer_list<float> values) {
  for (float v : values) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    out.push_back(bits);
  }
}

void Put(std::vector<uint32_t>& out, const Color& c) {
  Put(out, {c.r, c.g, c.b, c.a});
}

void Put(std::vector<uint32_t>& out, uint64_t v) {
  out.push_back(static_cast<uint32_t>(v));
  out.push_back(static_cast<uint32_t>(v >> 32));
}

}  // namespace

bool Renderer::Open(int width, int height) {
  GLint major = 0, minor = 0;
  GetIntegerv(kMajorVersion, &major);
  GetIntegerv(kMinorVersion, &minor);
  if (major * 10 + minor < 33) return false;
  width_ = width;
  height_ = height;
  if (!BuildPrograms()) {
    Scene none;
    Close(none);
    return false;
  }
  BindScreenVertexArray(0);
  // Software rasterisers filter anisotropically at several times the cost of every textured
  // pixel; there the materials get trilinear filtering instead.
  const auto* renderer = reinterpret_cast<const char*>(GetString(kRenderer));
  const std::string name = renderer != nullptr ? renderer : "";
  const bool software = name.find("llvmpipe") != std::string::npos ||
                        name.find("softpipe") != std::string::npos ||
                        name.find("SwiftShader") != std::string::npos;
  if (!software && (HasExtension("GL_EXT_texture_filter_anisotropic") ||
                    HasExtension("GL_ARB_texture_filter_anisotropic"))) {
    GetFloatv(kMaxTextureMaxAnisotropy, &maxAnisotropy_);
  }
  GLint maxSide = 0;
  GetIntegerv(kMaxTextureSize, &maxSide);
  maxTextureSide_ = maxSide;
  GenSamplers(2, spriteSamplers_);
  for (int i = 0; i < 2; ++i) {
    SamplerParameteri(spriteSamplers_[i], kTextureMinFilter, i ? kLinear : kNearest);
    SamplerParameteri(spriteSamplers_[i], kTextureMagFilter, i ? kLinear : kNearest);
    SamplerParameteri(spriteSamplers_[i], kTextureWrapS, kClampToEdge);
    SamplerParameteri(spriteSamplers_[i], kTextureWrapT, kClampToEdge);
  }
  GenSamplers(1, &plainSampler_);
  SamplerParameteri(plainSampler_, kTextureMinFilter, kLinear);
  SamplerParameteri(plainSampler_, kTextureMagFilter, kLinear);
  SamplerParameteri(plainSampler_, kTextureWrapS, kRepeat);
  SamplerParameteri(plainSampler_, kTextureWrapT, kRepeat);
  DepthFunc(kLequal);
  open_ = true;
  return true;
}

bool Renderer::BuildPrograms() {
  textProgram_ = BuildProgram(shaders::kTextVertex, shaders::kTextFragment);
  spriteProgram_ = BuildProgram(shaders::kSpriteVertex, shaders::kSpriteFragment);
  if (textProgram_ == 0 || spriteProgram_ == 0) return false;
  textMvp_ = GetUniformLocation(textProgram_, "uMvp");
  textColor_ = GetUniformLocation(textProgram_, "uColor");
  textAtlasScale_ = GetUniformLocation(textProgram_, "uAtlasScale");
  spriteRect_ = GetUniformLocation(spriteProgram_, "uRect");
  spriteAlpha_ = GetUniformLocation(spriteProgram_, "uUseAlpha");
  UseProgram(textProgram_);
  Uniform1i(GetUniformLocation(textProgram_, "uAtlas"), 0);
  UseProgram(spriteProgram_);
  Uniform1i(GetUniformLocation(spriteProgram_, "uSprite"), 0);
  return EntityProgramFor(0, true, true, true).id != 0;  // is GLSL fine here?
}

// Compiled when first needed: only a few of the variants are ever used.
const Renderer::EntityProgram& Renderer::EntityProgramFor(int layers, bool lit, bool fog,
                                                          bool tinted) {
  EntityProgram& p = entityPrograms_[layers * 8 + lit * 4 + fog * 2 + tinted];
  if (p.tried) return p;
  p.tried = true;
  const std::string defines = "#version 330 core\n#define LAYERS " + std::to_string(layers) +
                              "\n#define LIT " + (lit ? "1" : "0") + "\n#define FOG " +
                              (fog ? "1" : "0") + "\n#define TINTED " + (tinted ? "1" : "0") + "\n";
  p.id = BuildProgram(defines + shaders::kEntityVertex, defines + shaders::kEntityFragment);
  if (p.id == 0) return p;
  p.viewProj = GetUniformLocation(p.id, "uViewProj");
  p.eye = GetUniformLocation(p.id, "uEye");
  p.lightDir = GetUniformLocation(p.id, "uLightDir");
  p.ambient = GetUniformLocation(p.id, "uAmbient");
  p.flat = GetUniformLocation(p.id, "uFlat");
  p.uvRotation = GetUniformLocation(p.id, "uUvRotation");
  p.fog = GetUniformLocation(p.id, "uFog");
  p.fogAmount = GetUniformLocation(p.id, "uFogAmount");
  p.color = GetUniformLocation(p.id, "uColor");
  p.fogColor = GetUniformLocation(p.id, "uFogColor");
  Use(p.id);
  for (int i = 0; i < kMaxLayers; ++i) {
    Uniform1i(GetUniformLocation(p.id, ("uLayer" + std::to_string(i)).c_str()), i);
  }
  return p;
}

void Renderer::FramePresented() {
  if (lastFrame_ != nullptr) {
    ClientWaitSync(lastFrame_, kSyncFlushCommandsBit, kTimeoutIgnored);
    DeleteSync(lastFrame_);
  }
  lastFrame_ = FenceSync(kSyncGpuCommandsComplete, 0);
}

void Renderer::Close(Scene& scene) {
  DeleteDead(scene);
  if (lastFrame_ != nullptr) DeleteSync(lastFrame_);
  lastFrame_ = nullptr;
  for (EntityProgram& p : entityPrograms_) {
    if (p.id != 0) DeleteProgram(p.id);
    p = EntityProgram{};
  }
  for (GLuint* program : {&textProgram_, &spriteProgram_}) {
    if (*program != 0) DeleteProgram(*program);
    *program = 0;
  }
  // A screen with a context of its own loses its arrays and framebuffers with that context;
  // deleting their names here touches nothing but this engine's own objects.
  for (GLuint& vao : vaos_) {
    if (vao != 0) DeleteVertexArrays(1, &vao);
    vao = 0;
  }
  if (spriteSamplers_[0] != 0) DeleteSamplers(2, spriteSamplers_);
  if (plainSampler_ != 0) DeleteSamplers(1, &plainSampler_);
  if (msaaFbo_ != 0) DeleteFramebuffers(1, &msaaFbo_);
  if (msaaColor_ != 0) DeleteRenderbuffers(1, &msaaColor_);
  if (msaaDepth_ != 0) DeleteRenderbuffers(1, &msaaDepth_);
  for (Backdrop& d : backdrops_) {
    if (d.fbo != 0) DeleteFramebuffers(1, &d.fbo);
    if (d.texture != 0) DeleteTextures(1, &d.texture);
    d = Backdrop{};
  }
  msaaFbo_ = msaaColor_ = msaaDepth_ = 0;
  spriteSamplers_[0] = spriteSamplers_[1] = plainSampler_ = 0;
  msaaSamples_ = 0;
  maxAnisotropy_ = 0;
  open_ = false;
}

void Renderer::DeleteDead(Scene& scene) {
  if (!scene.deadTextures.empty()) {
    DeleteTextures(static_cast<GLsizei>(scene.deadTextures.size()), scene.deadTextures.data());
  }
  if (!scene.deadBuffers.empty()) {
    DeleteBuffers(static_cast<GLsizei>(scene.deadBuffers.size()), scene.deadBuffers.data());
  }
  if (!scene.deadSamplers.empty()) {
    DeleteSamplers(static_cast<GLsizei>(scene.deadSamplers.size()), scene.deadSamplers.data());
  }
  scene.deadTextures.clear();
  scene.deadBuffers.clear();
  scene.deadSamplers.clear();
}

void Renderer::UploadTexture(Texture& t) {
  if (!t.dirty) return;
  // Made before the screen opened and too large for this GL: it stays without pixels.
  if (maxTextureSide_ > 0 && (t.width > maxTextureSide_ || t.height > maxTextureSide_)) {
    t.dirty = false;
    return;
  }
  if (t.gl == 0) GenTextures(1, &t.gl);
  BindTexture(kTexture2D, t.gl);
  PixelStorei(kUnpackAlignment, 4);
  if (t.glWidth != t.width || t.glHeight != t.height) {
    // The BGRA pixels go in as RGBA, copied as they are, and the texture swaps red and blue back
    // when read: Mesa's software renderer would otherwise convert every pixel on the way in.
    TexImage2D(kTexture2D, 0, kRgba8, t.width, t.height, 0, kRgba, kUnsignedByte, t.pixels.data());
    TexParameteri(kTexture2D, kTextureSwizzleR, kBlue);
    TexParameteri(kTexture2D, kTextureSwizzleB, kRed);
    t.glWidth = t.width;
    t.glHeight = t.height;
  } else {
    TexSubImage2D(kTexture2D, 0, 0, 0, t.width, t.height, kRgba, kUnsignedByte, t.pixels.data());
  }
  // The smaller levels wait until a draw needs them: a picture shown at its size never does.
  TexParameteri(kTexture2D, kTextureMaxLevel, 0);
  t.glMipmaps = false;
  t.upload = ++uploads_;
  // One colour throughout (a fade cover, a blank): draws multiply by it instead of reading it.
  const uint8_t* p = t.pixels.data();
  t.uniform = t.pixels.size() >= 4 && std::memcmp(p, p + 4, t.pixels.size() - 4) == 0;
  if (t.uniform) std::memcpy(&t.texel, p, 4);
  t.dirty = false;
}

void Renderer::EnsureMipmaps(Texture& t) {
  if (t.glMipmaps) return;
  BindTexture(kTexture2D, t.gl);
  PixelStorei(kUnpackAlignment, 4);
  UploadMipLevels(t.width, t.height, 4, t.pixels.data(), kRgba8, kRgba, 1000);
  TexParameteri(kTexture2D, kTextureMaxLevel, 1000);
  t.glMipmaps = true;
}

void Renderer::UploadMesh(Mesh& mesh) {
  if (mesh.uploaded) return;
  if (mesh.vbo == 0) GenBuffers(1, &mesh.vbo);
  if (mesh.ibo == 0) GenBuffers(1, &mesh.ibo);
  BindBuffer(kArrayBuffer, mesh.vbo);
  // One quad, triangles (a, b, c) and (a, c, d) of one normal (a plane, a flake): the strip
  // b, c, a, d makes the same two triangles from four vertices instead of six indices, which
  // Mesa's software renderer sets up for less, per instance.
  const std::vector<uint32_t>& ix = mesh.indices;
  mesh.glStrip = ix.size() == 6 && ix[3] == ix[0] && ix[4] == ix[2] && mesh.vertices.size() == 32 &&
                 std::all_of(ix.begin(), ix.end(), [](uint32_t k) { return k < 4; });
  for (uint32_t k = 1; mesh.glStrip && k < 4; ++k) {
    mesh.glStrip = std::equal(&mesh.vertices[3], &mesh.vertices[6], &mesh.vertices[8 * k + 3]);
  }
  if (mesh.glStrip) {
    std::vector<float> strip;
    for (uint32_t k : {ix[1], ix[2], ix[0], ix[5]}) {
      strip.insert(strip.end(), &mesh.vertices[8 * k], &mesh.vertices[8 * k + 8]);
    }
    BufferData(kArrayBuffer, static_cast<GLsizeiptr>(strip.size() * sizeof(float)), strip.data(),
               kStaticDraw);
  } else {
    BufferData(kArrayBuffer, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(float)),
               mesh.vertices.data(), kStaticDraw);
  }
  BindBuffer(kElementArrayBuffer, mesh.ibo);
  BufferData(kElementArrayBuffer, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(uint32_t)),
             mesh.indices.data(), kStaticDraw);
  mesh.uploaded = true;
  mesh.upload = ++uploads_;
}

void Renderer::UploadBatches(Scene& scene) {
  for (Batch& b : scene.batches) {
    const size_t count = b.entities.size();
    if (count == 0 || b.dirtyHi < b.dirtyLo) continue;
    if (b.glBuffer == 0) GenBuffers(1, &b.glBuffer);
    BindBuffer(kArrayBuffer, b.glBuffer);
    const bool whole = b.dirtyLo == 0 && b.dirtyHi + 1 == static_cast<int>(count);
    if (count > b.glCapacity || whole) {
      // New storage: the driver need not wait for frames still drawing from the old one.
      b.glCapacity = std::max(count, b.glCapacity);
      BufferData(kArrayBuffer, static_cast<GLsizeiptr>(b.glCapacity * kInstanceBytes), nullptr,
                 kStreamDraw);
      BufferSubData(kArrayBuffer, 0, static_cast<GLsizeiptr>(count * kInstanceBytes),
                    b.instances.data());
    } else {
      BufferSubData(kArrayBuffer, static_cast<GLintptr>(b.dirtyLo * kInstanceBytes),
                    static_cast<GLsizeiptr>((b.dirtyHi - b.dirtyLo + 1) * kInstanceBytes),
                    &b.instances[static_cast<size_t>(b.dirtyLo) * 12]);
    }
    b.dirtyLo = 0;
    b.dirtyHi = -1;
  }
}

void Renderer::UploadFonts(Fonts& fonts) {
  for (int i = 0; i < fonts.Count(); ++i) {
    Font& f = fonts.Get(i);
    if (!f.atlasDirty || f.face == nullptr) continue;
    if (f.gl == 0) {
      GenTextures(1, &f.gl);
      BindTexture(kTexture2D, f.gl);
      TexParameteri(kTexture2D, kTextureMinFilter, kLinearMipmapLinear);
      TexParameteri(kTexture2D, kTextureMagFilter, kLinear);
      TexParameteri(kTexture2D, kTextureWrapS, kClampToEdge);
      TexParameteri(kTexture2D, kTextureWrapT, kClampToEdge);
      TexParameteri(kTexture2D, kTextureMaxLevel, 3);
    }
    BindTexture(kTexture2D, f.gl);
    PixelStorei(kUnpackAlignment, 1);
    TexImage2D(kTexture2D, 0, kR8, f.atlasWidth, f.atlasHeight, 0, kRed, kUnsignedByte,
               f.atlas.data());
    UploadMipLevels(f.atlasWidth, f.atlasHeight, 1, f.atlas.data(), kR8, kRed, 3);
    f.glHeight = f.atlasHeight;
    f.atlasDirty = false;
  }
}

void Renderer::UpdateSampler(Material& m) {
  if (m.sampler == 0) GenSamplers(1, &m.sampler);
  if (!m.samplerDirty) return;
  const GLint minFilter[] = {kNearest, kLinear, kLinearMipmapLinear, kLinearMipmapLinear};
  SamplerParameteri(m.sampler, kTextureMinFilter, minFilter[m.filter]);
  SamplerParameteri(m.sampler, kTextureMagFilter,
                    m.filter == RTO_FILTER_NEAREST ? kNearest : kLinear);
  SamplerParameteri(m.sampler, kTextureWrapS, kRepeat);
  SamplerParameteri(m.sampler, kTextureWrapT, kRepeat);
  if (maxAnisotropy_ > 0) {
    const float wanted =
        m.filter == RTO_FILTER_ANISOTROPIC ? static_cast<float>(m.filterValue) : 1.0f;
    SamplerParameterf(m.sampler, kTextureMaxAnisotropy, std::clamp(wanted, 1.0f, maxAnisotropy_));
  }
  m.samplerDirty = false;
}

void Renderer::SetTarget(int antialiasing) {
  const int wanted = antialiasing >= 2 ? antialiasing : 0;
  if (wanted != msaaSamples_) {
    if (msaaFbo_ != 0) DeleteFramebuffers(1, &msaaFbo_);
    if (msaaColor_ != 0) DeleteRenderbuffers(1, &msaaColor_);
    if (msaaDepth_ != 0) DeleteRenderbuffers(1, &msaaDepth_);
    msaaFbo_ = msaaColor_ = msaaDepth_ = 0;
    msaaSamples_ = wanted;
    GLint most = 0;
    GetIntegerv(kMaxSamples, &most);
    const int samples = std::min(wanted, static_cast<int>(most));
    if (samples >= 2) {
      GenFramebuffers(1, &msaaFbo_);
      GenRenderbuffers(1, &msaaColor_);
      GenRenderbuffers(1, &msaaDepth_);
      BindRenderbuffer(kRenderbuffer, msaaColor_);
      RenderbufferStorageMultisample(kRenderbuffer, samples, kRgba8, width_, height_);
      BindRenderbuffer(kRenderbuffer, msaaDepth_);
      RenderbufferStorageMultisample(kRenderbuffer, samples, kDepthComponent24, width_, height_);
      BindFramebuffer(kFramebuffer, msaaFbo_);
      FramebufferRenderbuffer(kFramebuffer, kColorAttachment0, kRenderbuffer, msaaColor_);
      FramebufferRenderbuffer(kFramebuffer, kDepthAttachment, kRenderbuffer, msaaDepth_);
      if (CheckFramebufferStatus(kFramebuffer) != kFramebufferComplete) {
        DeleteFramebuffers(1, &msaaFbo_);
        msaaFbo_ = 0;  // fall back to the screen; the renderbuffers go with the next change
      }
    }
  }
  BindFramebuffer(kFramebuffer, msaaFbo_);
  if (antialiasing > 0) {
    Enable(kMultisample);
  } else {
    Disable(kMultisample);
  }
}

void Renderer::Switch(GLenum cap, int& known, bool on) {
  if (known == (on ? 1 : 0)) return;
  if (on) {
    Enable(cap);
  } else {
    Disable(cap);
  }
  known = on ? 1 : 0;
}

void Renderer::BlendFunc(GLenum sc, GLenum dc, GLenum sa, GLenum da) {
  const GLenum wanted[4] = {sc, dc, sa, da};
  if (std::equal(wanted, wanted + 4, state_.blendFunc)) return;
  BlendFuncSeparate(sc, dc, sa, da);
  std::copy_n(wanted, 4, state_.blendFunc);
}

void Renderer::DepthWrites(bool on) {
  if (state_.depthMask == (on ? 1 : 0)) return;
  DepthMask(on ? 1 : 0);
  state_.depthMask = on ? 1 : 0;
}

void Renderer::BindScreenVertexArray(int screen) {
  GLuint& vao = vaos_[screen];
  if (vao == 0) {
    GenVertexArrays(1, &vao);
    BindVertexArray(vao);
    for (GLuint row = 3; row < 6; ++row) VertexAttribDivisor(row, 1);
  } else {
    BindVertexArray(vao);
  }
}

void Renderer::Use(GLuint program) {
  if (state_.program == program) return;
  UseProgram(program);
  state_.program = program;
}

void Renderer::ApplyMaterialState(const Material& m) {
  Switch(kBlend, state_.blend, m.blend != RTO_BLEND_OPAQUE);
  if (m.blend == RTO_BLEND_ADD) BlendFunc(kSrcAlpha, kOne, kZero, kOne);
  if (m.blend == RTO_BLEND_MULTIPLY) BlendFunc(kDstColor, kZero, kZero, kOne);
  if (m.blend == RTO_BLEND_ALPHA) BlendFunc(kSrcAlpha, kOneMinusSrcAlpha, kOne, kOneMinusSrcAlpha);
  Switch(kCullFace, state_.cull, m.cull != RTO_CULL_NONE);
  const GLenum face = m.cull == RTO_CULL_FRONT ? kFront : kBack;
  if (m.cull != RTO_CULL_NONE && state_.cullFace != face) {
    CullFace(face);
    state_.cullFace = face;
  }
  Switch(kDepthTest, state_.depthTest, m.depthTest && depthInUse_);
  if (m.depthTest && depthInUse_) DepthWrites(m.depthWrite);
}

void Renderer::Render(Scene& scene, Fonts& fonts, int antialiasing, RenderTarget target) {
  state_ = State{};  // whoever else drew since the last frame may have changed anything
  const bool opened = target.screen == 0 && target.width == 0;
  const int width = opened ? width_ : target.width;
  const int height = opened ? height_ : target.height;
  drawableWidth_ = width;
  drawableHeight_ = height;
  DeleteDead(scene);
  scene.UpdateTransforms();
  scene.textures.ForEach([this](int, Texture& t) { UploadTexture(t); });
  UploadBatches(scene);
  UploadFonts(fonts);

  // What to draw, in order: by queue; within a queue opaque, then texts, then blended. When
  // nothing writes depth, every depth test would pass: the depth buffer is left alone.
  items_.clear();
  depthInUse_ = false;
  for (size_t i = 0; i < scene.batches.size(); ++i) {
    const Batch& b = scene.batches[i];
    if (b.entities.empty() || !scene.meshes.Has(b.mesh)) continue;
    const Material* m = scene.materials.Find(b.material);
    if (m == nullptr) m = &defaultMaterial_;
    const bool addsNothing = IsBlended(*m) && m->blend != RTO_BLEND_MULTIPLY && m->color.a <= 0;
    if (addsNothing) continue;
    items_.push_back({b.queue * 4 + (IsBlended(*m) ? 2 : 0), static_cast<int>(i), false});
    depthInUse_ = depthInUse_ || (m->depthTest && m->depthWrite);
  }
  scene.texts.ForEach([this](int number, Text& t) {
    if (t.font >= 0 && !t.vertices.empty()) items_.push_back({kDefaultQueue * 4 + 1, number, true});
  });
  std::stable_sort(items_.begin(), items_.end(),
                   [](const DrawItem& a, const DrawItem& b) { return a.key < b.key; });

  if (opened) {
    SetTarget(antialiasing);
  } else {
    BindFramebuffer(kFramebuffer, 0);
  }
  BindScreenVertexArray(target.screen);
  int cameras = 0;
  scene.cameras.ForEach([&](int, Camera& c) { cameras += c.screen == target.screen; });
  // The kept background goes straight to the drawable: not with a multisampled frame between.
  Backdrop* backdrop = opened && msaaFbo_ != 0 ? nullptr : &backdrops_[target.screen];
  scene.cameras.ForEach([&](int, Camera& c) {
    if (c.screen != target.screen) return;
    const int x = static_cast<int>(std::lround(c.viewX / 100 * width));
    const int w = static_cast<int>(std::lround(c.viewWidth / 100 * width));
    const int top = static_cast<int>(std::lround(c.viewY / 100 * height));
    const int h = static_cast<int>(std::lround(c.viewHeight / 100 * height));
    if (w <= 0 || h <= 0) return;
    const int y = height - top - h;
    Viewport(x, y, w, h);
    View view;
    view.viewProj = Multiply(Perspective(c.fov, static_cast<float>(w) / h, kNear, kFar),
                             ViewMatrix(c.pos, c.right, c.up, c.back));
    view.eye = c.pos;
    view.right = c.right;
    view.up = c.up;
    view.back = c.back;
    view.width = w;
    view.height = h;
    const size_t cover = CoveringItem(scene, view);
    const size_t kept = cameras == 1 && backdrop != nullptr
                            ? ShowBackdrop(*backdrop, scene, fonts, view, c, x, y, cover)
                            : 0;
    ClearView(scene, view, c, x, y, kept == 0 && cover == items_.size());
    DrawItems(scene, fonts, view, kept, items_.size());
  });
  if (cameras == 0) {
    Viewport(0, 0, width, height);
    DepthWrites(true);
    ClearColor(0, 0, 0, 1);
    Clear(kColorBufferBit | kDepthBufferBit);
  }
  if (opened && msaaFbo_ != 0) {
    BindFramebuffer(kReadFramebuffer, msaaFbo_);
    BindFramebuffer(kDrawFramebuffer, 0);
    BlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, kColorBufferBit, kNearest);
    BindFramebuffer(kFramebuffer, 0);
  }
}

void Renderer::DrawItems(Scene& scene, Fonts& fonts, const View& view, size_t first, size_t end) {
  for (size_t i = first; i < end; ++i) {
    const DrawItem& item = items_[i];
    if (item.isText) {
      DrawTextItem(scene, fonts, *scene.texts.Find(item.index), view);
    } else {
      Batch& b = scene.batches[item.index];
      Material* m = scene.materials.Find(b.material);
      DrawBatch(scene, b, m != nullptr ? *m : defaultMaterial_, view);
    }
  }
}

// Writes into d.now what the leading draws that could be kept depend on: the view, then
// each draw (its batch, mesh, transforms, material and textures) up to the first that tests
// depth, is a text or has many instances.
void Renderer::Describe(Backdrop& d, Scene& scene, const View& view, const Camera& c, int x,
                        int y) {
  std::vector<uint32_t>& out = d.now;
  out.clear();
  d.nowEnds.clear();
  Put(out, {view.viewProj.m[0],
            view.viewProj.m[1],
            view.viewProj.m[2],
            view.viewProj.m[3],
            view.viewProj.m[4],
            view.viewProj.m[5],
            view.viewProj.m[6],
            view.viewProj.m[7],
            view.viewProj.m[8],
            view.viewProj.m[9],
            view.viewProj.m[10],
            view.viewProj.m[11],
            view.viewProj.m[12],
            view.viewProj.m[13],
            view.viewProj.m[14],
            view.viewProj.m[15],
            c.pos.x,
            c.pos.y,
            c.pos.z,
            c.back.x,
            c.back.y,
            c.back.z});
  Put(out, c.background);
  Put(out, scene.ambient);
  out.insert(out.end(),
             {static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(view.width),
              static_cast<uint32_t>(view.height), depthInUse_ ? 1u : 0u});
  d.nowEnds.push_back(out.size());
  for (const DrawItem& item : items_) {
    if (item.isText) break;
    const Batch& b = scene.batches[item.index];
    const Material* found = scene.materials.Find(b.material);
    const Material& m = found != nullptr ? *found : defaultMaterial_;
    const Mesh& mesh = *scene.meshes.Find(b.mesh);
    if ((m.depthTest && depthInUse_) || b.entities.size() > kMaxBackdropInstances ||
        mesh.upload == 0) {
      break;
    }
    out.push_back(static_cast<uint32_t>(item.index));
    Put(out, mesh.upload);
    for (float v : b.instances) Put(out, {v});
    Put(out, m.color);
    Put(out, m.fogColor);
    Put(out, {m.fogDensity, m.fogStart, m.fogEnd, m.rotation});
    for (int v : {m.layerCount, m.blend, m.cull, m.shading, m.filter, m.filterValue, m.lit ? 1 : 0,
                  m.depthTest ? 1 : 0, m.depthWrite ? 1 : 0}) {
      out.push_back(static_cast<uint32_t>(v));
    }
    for (int i = 0; i < m.layerCount; ++i) {
      const Texture* t = scene.textures.Find(m.layers[i]);
      Put(out, t != nullptr && t->gl != 0 ? t->upload : uint64_t{0});
    }
    d.nowEnds.push_back(out.size());
  }
}

// Puts the frame's leading draws on the screen from the backdrop when they are as they were last
// frame; when it does not hold them yet, draws them on the screen and keeps a copy. `cover` is the
// draw over the whole view (CoveringItem). Returns how many draws are on the screen (0: none).
size_t Renderer::ShowBackdrop(Backdrop& d, Scene& scene, Fonts& fonts, const View& view,
                              const Camera& c, int x, int y, size_t cover) {
  if (!shortcuts_) return 0;
  Describe(d, scene, view, c, x, y);
  size_t same = 0;  // leading draws described alike last frame
  const size_t parts = std::min(d.nowEnds.size(), d.seenEnds.size());
  for (size_t k = 0; k < parts && d.nowEnds[k] == d.seenEnds[k]; ++k) {
    const size_t from = k == 0 ? 0 : d.nowEnds[k - 1];
    if (!std::equal(d.now.begin() + from, d.now.begin() + d.nowEnds[k], d.seen.begin() + from)) {
      break;
    }
    same = k;  // the view's part and k draws
  }
  std::swap(d.now, d.seen);
  std::swap(d.nowEnds, d.seenEnds);
  // Copying the whole view pays only in place of a picture over all of it.
  if (cover >= same) same = 0;
  if (same > 0) {
    const Batch& b = scene.batches[items_[cover].index];
    const Material* m = scene.materials.Find(b.material);
    bool picture = false;
    for (int i = 0; m != nullptr && i < m->layerCount; ++i) {
      const Texture* t = scene.textures.Find(m->layers[i]);
      picture = picture || (t != nullptr && t->gl != 0 && !t->uniform);
    }
    if (!picture) same = 0;
  }
  const int w = view.width, h = view.height;
  if (same != d.items) {
    d.items = 0;
    if (same == 0) return 0;
    if (d.width != w || d.height != h) {
      if (d.fbo == 0) GenFramebuffers(1, &d.fbo);
      if (d.texture == 0) GenTextures(1, &d.texture);
      BindTexture(kTexture2D, d.texture);
      // Unsized RGBA given as BGRA: Mesa keeps it in the window's own byte order.
      TexImage2D(kTexture2D, 0, static_cast<GLint>(kRgba), w, h, 0, kBgra, kUnsignedByte, nullptr);
      TexParameteri(kTexture2D, kTextureMaxLevel, 0);
      BindFramebuffer(kFramebuffer, d.fbo);
      FramebufferTexture2D(kFramebuffer, kColorAttachment0, kTexture2D, d.texture, 0);
      const bool complete = CheckFramebufferStatus(kFramebuffer) == kFramebufferComplete;
      BindFramebuffer(kFramebuffer, 0);
      d.width = complete ? w : 0;
      d.height = complete ? h : 0;
      if (!complete) return 0;
    }
    // Drawn on the screen as any frame, then copied from there.
    Switch(kScissorTest, state_.scissor, false);
    DrawItems(scene, fonts, view, 0, same);
    BindFramebuffer(kReadFramebuffer, 0);
    BindFramebuffer(kDrawFramebuffer, d.fbo);
    BlitFramebuffer(x, y, x + w, y + h, 0, h, w, 0, kColorBufferBit, kNearest);
    BindFramebuffer(kFramebuffer, 0);
    d.items = same;
    return d.items;
  }
  // Both copies turn the rows over: Mesa stores a window's rows the other way from a
  // framebuffer object's, so that turned over in GL's terms they are plain memory copies, where
  // a straight copy would be drawn as a textured quad at several times the cost.
  BindFramebuffer(kReadFramebuffer, d.fbo);
  BindFramebuffer(kDrawFramebuffer, 0);
  Switch(kScissorTest, state_.scissor, false);
  BlitFramebuffer(0, h, w, 0, x, y, x + w, y + h, kColorBufferBit, kNearest);
  BindFramebuffer(kFramebuffer, 0);
  return d.items;
}

// Clears the camera's viewport at (x, y): the colour if asked (no draw paints every pixel), the
// depth where depth-tested draws can land.
void Renderer::ClearView(Scene& scene, const View& view, const Camera& c, int x, int y,
                         bool colour) {
  const int w = view.width, h = view.height;
  GLbitfield whole = colour ? kColorBufferBit : 0;
  int dx0 = 0, dy0 = 0, dx1 = w, dy1 = h;
  if (depthInUse_) {
    const PixelRect area = DepthTestedArea(scene, view);
    // A pixel of margin; points far off the view stay within reach of an int.
    auto edge = [](float v, int size, float margin) {
      return static_cast<int>(std::clamp(v + margin, 0.0f, static_cast<float>(size)));
    };
    dx0 = edge(std::floor(area.x0), w, -1);
    dy0 = edge(std::floor(area.y0), h, -1);
    dx1 = edge(std::ceil(area.x1), w, 1);
    dy1 = edge(std::ceil(area.y1), h, 1);
    // Most of the view: the whole clear is cheaper than a drawn part.
    if (2 * int64_t{std::max(0, dx1 - dx0)} * std::max(0, dy1 - dy0) > int64_t{w} * h) {
      dx0 = dy0 = 0;
      dx1 = w;
      dy1 = h;
    }
    if (dx0 == 0 && dy0 == 0 && dx1 == w && dy1 == h) whole |= kDepthBufferBit;
  }
  // A clear of the whole screen takes the driver's fast path; a part needs the scissor.
  auto clear = [&](int rx, int ry, int rw, int rh, GLbitfield bits) {
    if (bits == 0 || rw <= 0 || rh <= 0) return;
    const bool part =
        x + rx > 0 || y + ry > 0 || x + rx + rw < drawableWidth_ || y + ry + rh < drawableHeight_;
    if (part) Scissor(x + rx, y + ry, rw, rh);
    Switch(kScissorTest, state_.scissor, part);
    Clear(bits);
  };
  DepthWrites(true);
  ClearColor(c.background.r, c.background.g, c.background.b, 1);
  ClearDepth(1.0);
  clear(0, 0, w, h, whole);
  if (depthInUse_ && (whole & kDepthBufferBit) == 0) {
    clear(dx0, dy0, dx1 - dx0, dy1 - dy0, kDepthBufferBit);
  }
  Switch(kScissorTest, state_.scissor, false);
}

// The first draw that is an opaque quad over the whole view which no depth test can stop, with
// nothing before it that could show: the draws before it (another screen's picture, in a run on
// several monitors) land under it and write no depth. items_.size() when there is none.
size_t Renderer::CoveringItem(Scene& scene, const View& view) {
  if (!shortcuts_) return items_.size();
  const Footprint footprint(view.viewProj, view.width, view.height);
  for (size_t k = 0; k < items_.size() && !items_[k].isText; ++k) {
    const Batch& b = scene.batches[items_[k].index];
    const Material* m = scene.materials.Find(b.material);
    if (m == nullptr) m = &defaultMaterial_;
    const bool depthTested = m->depthTest && depthInUse_;
    if (!IsBlended(*m) && !depthTested &&
        footprint.CoversViewport(*scene.meshes.Find(b.mesh), b.instances.data(), b.entities.size(),
                                 m->cull)) {
      return k;
    }
    if (depthTested && m->depthWrite) break;
  }
  return items_.size();
}

// The pixels of the view that depth-tested draws can touch: the depth buffer matters only there.
PixelRect Renderer::DepthTestedArea(Scene& scene, const View& view) {
  const PixelRect all{0, 0, static_cast<float>(view.width), static_cast<float>(view.height)};
  if (!shortcuts_) return all;
  const Footprint footprint(view.viewProj, view.width, view.height);
  PixelRect area;
  for (const DrawItem& item : items_) {
    if (item.isText) {
      const Text& t = *scene.texts.Find(item.index);
      float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
      for (size_t i = 0; i + 4 <= t.vertices.size(); i += 4) {
        x0 = std::min(x0, t.vertices[i]);
        x1 = std::max(x1, t.vertices[i]);
        y0 = std::min(y0, t.vertices[i + 1]);
        y1 = std::max(y1, t.vertices[i + 1]);
      }
      const float corners[12] = {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0};
      float world[12];
      TextWorld(scene, t, view, world);
      if (!footprint.AddBounds(world, corners, 4, 3, area)) return all;
      continue;
    }
    const Batch& b = scene.batches[item.index];
    const Material* m = scene.materials.Find(b.material);
    if (m != nullptr && !m->depthTest) continue;
    if (!footprint.AddBounds(*scene.meshes.Find(b.mesh), b.instances.data(), b.entities.size(),
                             area)) {
      return all;
    }
  }
  return area;
}

void Renderer::DrawBatch(Scene& scene, Batch& batch, Material& m, const View& view) {
  Mesh& mesh = *scene.meshes.Find(batch.mesh);
  UploadMesh(mesh);
  const float angle = m.rotation * kRadiansPerDegree;
  const float uvCos = std::cos(angle), uvSin = std::sin(angle);
  const Footprint footprint(view.viewProj, view.width, view.height);
  Color color = m.color;
  int units = 0;
  for (int i = 0; i < m.layerCount; ++i) {
    Texture* t = scene.textures.Find(m.layers[i]);
    if (t == nullptr || t->gl == 0) continue;
    if (shortcuts_ && t->uniform) {
      // Every filter reads the one colour: a factor of the material colour.
      color.r *= static_cast<float>(t->texel >> 16 & 0xFF) / 255.0f;
      color.g *= static_cast<float>(t->texel >> 8 & 0xFF) / 255.0f;
      color.b *= static_cast<float>(t->texel & 0xFF) / 255.0f;
      color.a *= static_cast<float>(t->texel >> 24) / 255.0f;
      continue;
    }
    UpdateSampler(m);
    GLuint sampler = m.sampler;
    if (m.filter >= RTO_FILTER_TRILINEAR) {
      // Nowhere smaller than its texels, a texture is read from its full-size level alone,
      // whatever the filter: plain bilinear reads it for less.
      if (shortcuts_ &&
          footprint.NowhereMinified(mesh, batch.instances.data(), batch.entities.size(), uvCos,
                                    uvSin, t->width, t->height)) {
        sampler = plainSampler_;
      } else {
        EnsureMipmaps(*t);
      }
    }
    ActiveTexture(kTexture0 + units);
    BindTexture(kTexture2D, t->gl);
    BindSampler(units, sampler);
    ++units;
  }
  // Lighting that cannot change a colour (white ambient light) and fog of no strength are left
  // out of the program.
  const Color& ambient = scene.ambient;
  const bool lit = m.lit && (ambient.r < 1 || ambient.g < 1 || ambient.b < 1);
  const float fogAmount = std::clamp(m.fogDensity, 0.0f, 1.0f) * m.fogColor.a;
  // A white material colour over textures changes nothing: the program leaves it out.
  const bool tinted =
      !shortcuts_ || units == 0 || color.r != 1 || color.g != 1 || color.b != 1 || color.a != 1;
  const EntityProgram& p = EntityProgramFor(units, lit, fogAmount > 0, tinted);
  if (p.id == 0) return;
  Use(p.id);
  UniformMatrix4fv(p.viewProj, 1, 0, view.viewProj.m);
  Uniform2f(p.uvRotation, uvCos, uvSin);
  if (lit) {
    Uniform3f(p.lightDir, view.back.x, view.back.y, view.back.z);
    Uniform3f(p.ambient, ambient.r, ambient.g, ambient.b);
    Uniform1f(p.flat, m.shading == RTO_SHADE_FLAT ? 1.0f : 0.0f);
  }
  if (fogAmount > 0) {
    const float range = m.fogEnd - m.fogStart;
    Uniform3f(p.eye, view.eye.x, view.eye.y, view.eye.z);
    Uniform2f(p.fog, m.fogStart, range > 0 ? 1.0f / range : 1e6f);
    Uniform1f(p.fogAmount, fogAmount);
    Uniform3f(p.fogColor, m.fogColor.r, m.fogColor.g, m.fogColor.b);
  }
  Uniform4f(p.color, color.r, color.g, color.b, color.a);
  ApplyMaterialState(m);

  BindBuffer(kArrayBuffer, mesh.vbo);
  SetAttribute(0, 3, 32, 0);
  SetAttribute(1, 3, 32, 12);
  SetAttribute(2, 2, 32, 24);
  BindBuffer(kArrayBuffer, batch.glBuffer);
  for (GLuint row = 0; row < 3; ++row) SetAttribute(3 + row, 4, kInstanceBytes, row * 16);
  BindBuffer(kElementArrayBuffer, mesh.ibo);
  if (mesh.glStrip) {
    DrawArraysInstanced(kTriangleStrip, 0, 4, static_cast<GLsizei>(batch.entities.size()));
  } else {
    DrawElementsInstanced(kTriangles, static_cast<GLsizei>(mesh.indices.size()), kUnsignedInt,
                          nullptr, static_cast<GLsizei>(batch.entities.size()));
  }
}

void Renderer::DrawTextItem(Scene& scene, Fonts& fonts, Text& text, const View& view) {
  const Font& font = fonts.Get(text.font);
  if (font.gl == 0) return;
  if (text.uploadNeeded) {
    if (text.glBuffer == 0) GenBuffers(1, &text.glBuffer);
    BindBuffer(kArrayBuffer, text.glBuffer);
    BufferData(kArrayBuffer, static_cast<GLsizeiptr>(text.vertices.size() * sizeof(float)),
               text.vertices.data(), kStaticDraw);
    text.glVertexCount = static_cast<int>(text.vertices.size() / 4);
    text.uploadNeeded = false;
  }
  float world[12];
  TextWorld(scene, text, view, world);
  const Mat4 mvp = Multiply(view.viewProj, FromAffine(world));
  Use(textProgram_);
  UniformMatrix4fv(textMvp_, 1, 0, mvp.m);
  Uniform4f(textColor_, text.color.r, text.color.g, text.color.b, text.color.a);
  Uniform2f(textAtlasScale_, 1.0f / font.atlasWidth, 1.0f / font.glHeight);
  ActiveTexture(kTexture0);
  BindTexture(kTexture2D, font.gl);
  BindSampler(0, 0);
  Switch(kBlend, state_.blend, true);
  BlendFunc(kSrcAlpha, kOneMinusSrcAlpha, kOne, kOneMinusSrcAlpha);
  Switch(kCullFace, state_.cull, false);
  Switch(kDepthTest, state_.depthTest, depthInUse_);
  DepthWrites(false);
  for (GLuint i = 1; i < 6; ++i) DisableVertexAttribArray(i);
  BindBuffer(kArrayBuffer, text.glBuffer);
  SetAttribute(0, 4, 16, 0);
  DrawArrays(kTriangles, 0, text.glVertexCount);
}

// Flat in the plane facing the camera, sized in world units, carried by its node.
void Renderer::TextWorld(Scene& scene, const Text& text, const View& view, float* world) {
  const float s = text.size;
  const float local[12] = {view.right.x * s, view.up.x * s, view.back.x * s, text.pos.x,
                           view.right.y * s, view.up.y * s, view.back.y * s, text.pos.y,
                           view.right.z * s, view.up.z * s, view.back.z * s, text.pos.z};
  const Node* node = scene.nodes.Find(text.node);
  if (node != nullptr) {
    MultiplyAffine(node->world, local, world);
  } else {
    std::copy_n(local, 12, world);
  }
}

void Renderer::DrawSprite(Scene& scene, Sprite& sprite, int x, int y, int width, int height,
                          bool linear) {
  DeleteDead(scene);
  if (sprite.gl == 0) GenTextures(1, &sprite.gl);
  ActiveTexture(kTexture0);
  BindTexture(kTexture2D, sprite.gl);
  if (sprite.dirty) {
    PixelStorei(kUnpackAlignment, 4);
    TexImage2D(kTexture2D, 0, kRgba8, sprite.width, sprite.height, 0, kBgra, kUnsignedByte,
               sprite.pixels.data());
    TexParameteri(kTexture2D, kTextureMaxLevel, 0);
    sprite.dirty = false;
  }
  if (width <= 0 || height <= 0) {
    width = sprite.width;
    height = sprite.height;
  }
  BindFramebuffer(kFramebuffer, 0);
  BindScreenVertexArray(0);
  for (GLuint i = 0; i < 6; ++i) DisableVertexAttribArray(i);
  Viewport(0, 0, width_, height_);
  Switch(kDepthTest, state_.depthTest, false);
  Switch(kCullFace, state_.cull, false);
  Switch(kBlend, state_.blend, sprite.alpha);
  if (sprite.alpha) BlendFunc(kSrcAlpha, kOneMinusSrcAlpha, kOne, kOneMinusSrcAlpha);
  Use(spriteProgram_);
  const float sx = 2.0f / width_, sy = 2.0f / height_;
  Uniform4f(spriteRect_, x * sx - 1, 1 - y * sy, (x + width) * sx - 1, 1 - (y + height) * sy);
  Uniform1f(spriteAlpha_, sprite.alpha ? 1.0f : 0.0f);
  BindSampler(0, spriteSamplers_[linear ? 1 : 0]);
  DrawArrays(kTriangleStrip, 0, 4);
}

bool Renderer::ReadScreen(void* pixels, int pitch) {
  if (pixels == nullptr || pitch < 4 * width_ || pitch % 4 != 0) return false;
  BindFramebuffer(kReadFramebuffer, 0);
  PixelStorei(kPackAlignment, 4);
  PixelStorei(kPackRowLength, pitch / 4);
  ReadPixels(0, 0, width_, height_, kBgra, kUnsignedByte, pixels);
  PixelStorei(kPackRowLength, 0);
  return true;
}

}  // namespace engine
