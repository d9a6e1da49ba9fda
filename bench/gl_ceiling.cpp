#include "gl_ceiling.h"

#include <GL/glcorearb.h>
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "images/codecs.h"

namespace ceiling {
namespace {

// The OpenGL entries this program uses, from the context.
// clang-format off
#define CEILING_GL_ENTRIES(X) \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture) \
  X(PFNGLATTACHSHADERPROC, AttachShader) \
  X(PFNGLBINDBUFFERPROC, BindBuffer) \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer) \
  X(PFNGLBINDTEXTUREPROC, BindTexture) \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray) \
  X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate) \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer) \
  X(PFNGLBUFFERDATAPROC, BufferData) \
  X(PFNGLCLEARPROC, Clear) \
  X(PFNGLCLEARCOLORPROC, ClearColor) \
  X(PFNGLCOMPILESHADERPROC, CompileShader) \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram) \
  X(PFNGLCREATESHADERPROC, CreateShader) \
  X(PFNGLDISABLEPROC, Disable) \
  X(PFNGLDRAWARRAYSPROC, DrawArrays) \
  X(PFNGLDRAWARRAYSINSTANCEDPROC, DrawArraysInstanced) \
  X(PFNGLENABLEPROC, Enable) \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray) \
  X(PFNGLFINISHPROC, Finish) \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D) \
  X(PFNGLGENBUFFERSPROC, GenBuffers) \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers) \
  X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap) \
  X(PFNGLGENTEXTURESPROC, GenTextures) \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays) \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv) \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation) \
  X(PFNGLLINKPROGRAMPROC, LinkProgram) \
  X(PFNGLPIXELSTOREIPROC, PixelStorei) \
  X(PFNGLSHADERSOURCEPROC, ShaderSource) \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D) \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri) \
  X(PFNGLUNIFORM1FPROC, Uniform1f) \
  X(PFNGLUNIFORM3FPROC, Uniform3f) \
  X(PFNGLUNIFORM4FPROC, Uniform4f) \
  X(PFNGLUSEPROGRAMPROC, UseProgram) \
  X(PFNGLVERTEXATTRIBDIVISORPROC, VertexAttribDivisor) \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer) \
  X(PFNGLVIEWPORTPROC, Viewport)
// clang-format on

struct Gl {
#define CEILING_GL_FIELD(type, name) type name = nullptr;
  CEILING_GL_ENTRIES(CEILING_GL_FIELD)
#undef CEILING_GL_FIELD
} gl;

// The program's view: from (0, 0, 22) towards the origin, 50 degrees high.
#define CEILING_PROJECT                                                                       \
  "uniform float uAspect;\n"                                                                  \
  "vec4 Project(vec3 world) {\n"                                                              \
  "  vec3 v = world - vec3(0.0, 0.0, 22.0);\n"                                                \
  "  float f = 1.0 / tan(radians(25.0));\n"                                                   \
  "  const float n = 0.1, far = 1000.0;\n"                                                    \
  "  return vec4(v.x * f / uAspect, v.y * f, (v.z * (far + n) + 2.0 * far * n) / (n - far), " \
  "-v.z);\n"                                                                                  \
  "}\n"

// A plane facing the viewer, its texture upright: half its width and height, and its depth.
constexpr const char* kPlaneVertex = "#version 330 core\n" CEILING_PROJECT R"(
uniform vec3 uPlane;
out vec2 vUv;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  vUv = vec2(corner.x, 1.0 - corner.y);  // the pictures' rows run from the top
  gl_Position = Project(vec3((corner * 2.0 - 1.0) * uPlane.xy, uPlane.z));
}
)";

constexpr const char* kPlaneFragment = R"(#version 330 core
in vec2 vUv;
uniform sampler2D uTexture;
uniform vec4 uColor;
out vec4 fragColor;
void main() { fragColor = uColor * texture(uTexture, vUv); }
)";

// The cheapest form's planes: the picture as it is, the cover as its colour.
constexpr const char* kPictureFragment = R"(#version 330 core
in vec2 vUv;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() { fragColor = texture(uTexture, vUv); }
)";

constexpr const char* kColourFragment = R"(#version 330 core
uniform vec4 uColor;
out vec4 fragColor;
void main() { fragColor = uColor; }
)";

// One flake per instance: its centre and turn, with the fog of the flake material.
constexpr const char* kFlakeVertex = "#version 330 core\n" CEILING_PROJECT R"(
layout(location = 0) in vec4 aFlake;  // x, y, z, turn in radians
uniform float uScale;
out vec2 vUv;
out float vFog;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1) * 2.0 - 1.0;
  vUv = corner * 0.5 + 0.5;
  float c = cos(aFlake.w), s = sin(aFlake.w);
  vec3 world = aFlake.xyz + vec3(c * corner.x - s * corner.y, s * corner.x + c * corner.y, 0.0) * uScale;
  gl_Position = Project(world);
  vFog = clamp((distance(world, vec3(0.0, 0.0, 22.0)) - 1.0) / 14.0, 0.0, 1.0) * (128.0 / 255.0);
}
)";

constexpr const char* kFlakeFragment = R"(#version 330 core
in vec2 vUv;
in float vFog;
uniform sampler2D uTexture;
uniform vec4 uColor;
out vec4 fragColor;
void main() {
  vec4 c = uColor * texture(uTexture, vUv);
  c.rgb = mix(c.rgb, vec3(152.0, 172.0, 200.0) / 255.0, vFog);
  fragColor = c;
}
)";

struct FlakeState {
  float x, y, z, turn, fall;
};

Options options;
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
GLuint vao = 0, planeProgram = 0, pictureProgram = 0, coverProgram = 0, flakeProgram = 0,
       pictureTexture = 0, coverTexture = 0, flakeTexture = 0, instanceBuffer = 0;
GLuint keptFramebuffer = 0, keptPicture = 0;  // the cheapest form's picture plane, drawn once
GLint flakeColor = -1;
std::vector<FlakeState> flakes;
std::vector<float> instances;

GLuint Program(const char* vertex, const char* fragment) {
  const GLuint program = gl.CreateProgram();
  for (auto [kind, source] :
       {std::pair{GL_VERTEX_SHADER, vertex}, {GL_FRAGMENT_SHADER, fragment}}) {
    const GLuint shader = gl.CreateShader(kind);
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    gl.AttachShader(program, shader);
  }
  gl.LinkProgram(program);
  GLint linked = 0;
  gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
  return linked ? program : 0;
}

// A trilinear texture with its mipmaps, or bilinear without, of 32-bit BGRA rows (or 24-bit BGR
// rows padded to 4 bytes).
GLuint Texture(int width, int height, int depth, const void* pixels, bool mipmaps = true) {
  GLuint texture = 0;
  gl.GenTextures(1, &texture);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, depth == 24 ? GL_BGR : GL_BGRA,
                GL_UNSIGNED_BYTE, pixels);
  if (mipmaps) gl.GenerateMipmap(GL_TEXTURE_2D);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                   mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

// The program's planes are 22 * 0.935 units high, a little more than the view at depth 0; their
// colour is grey level `grey` at `alpha`.
void DrawPlane(GLuint program, GLuint texture, float z, float grey, float alpha) {
  const float h = 22.0f * 0.935f * 0.5f;
  gl.UseProgram(program);
  gl.Uniform3f(gl.GetUniformLocation(program, "uPlane"),
               h * static_cast<float>(options.width) / static_cast<float>(options.height), h, z);
  const GLint colour = gl.GetUniformLocation(program, "uColor");
  if (colour >= 0) gl.Uniform4f(colour, grey, grey, grey, alpha);
  gl.BindTexture(GL_TEXTURE_2D, texture);
  gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

}  // namespace

bool Open(const Options& o) {
  options = o;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, o.cheapest ? 0 : 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  window = SDL_CreateWindow("ceiling", 0, 0, o.width, o.height, SDL_WINDOW_OPENGL);
  if (window == nullptr) return false;
  context = SDL_GL_CreateContext(window);
  if (context == nullptr) return false;
  if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
#define CEILING_GL_LOAD(type, name) \
  gl.name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));
  CEILING_GL_ENTRIES(CEILING_GL_LOAD)
#undef CEILING_GL_LOAD

  images::Image picture;
  if (!images::DecodeImageFile(o.picture, picture)) return false;
  pictureTexture =
      Texture(picture.width, picture.height, picture.depth, picture.pixels.data(), !o.cheapest);
  const std::vector<uint32_t> black(256 * 256, 0xFF000000u);
  coverTexture = Texture(256, 256, 32, black.data());
  std::vector<uint32_t> disc(16 * 16);
  for (int i = 0; i < 256; ++i) {
    const int dx = i % 16 - 8, dy = i / 16 - 8;
    disc[i] = dx * dx + dy * dy < 49 ? 0xFFFFFFFFu : 0x00FFFFFFu;
  }
  flakeTexture = Texture(16, 16, 32, disc.data());

  planeProgram = Program(kPlaneVertex, kPlaneFragment);
  pictureProgram = o.cheapest ? Program(kPlaneVertex, kPictureFragment) : planeProgram;
  coverProgram = o.cheapest ? Program(kPlaneVertex, kColourFragment) : planeProgram;
  flakeProgram = Program(kFlakeVertex, kFlakeFragment);
  if (planeProgram == 0 || pictureProgram == 0 || coverProgram == 0 || flakeProgram == 0) {
    return false;
  }
  flakeColor = gl.GetUniformLocation(flakeProgram, "uColor");
  const float aspect = static_cast<float>(o.width) / static_cast<float>(o.height);
  for (GLuint program : {planeProgram, pictureProgram, coverProgram}) {
    gl.UseProgram(program);
    gl.Uniform1f(gl.GetUniformLocation(program, "uAspect"), aspect);
  }
  gl.UseProgram(flakeProgram);
  gl.Uniform1f(gl.GetUniformLocation(flakeProgram, "uScale"), o.flakeScale);
  gl.Uniform1f(gl.GetUniformLocation(flakeProgram, "uAspect"), aspect);

  std::mt19937 random(7);
  flakes.resize(o.flakes);
  for (FlakeState& f : flakes) {
    f.x = static_cast<float>(random() % 24) - 11.5f;
    f.y = static_cast<float>(random() % 18) - 8.5f;
    f.z = static_cast<float>(1 + random() % 15);
    f.turn = static_cast<float>(random() % 361) * 3.14159265f / 180;
    f.fall = 0.045f - static_cast<float>(random() % 7) * 0.003f;
  }
  instances.resize(flakes.size() * 4);
  gl.GenVertexArrays(1, &vao);
  gl.BindVertexArray(vao);
  gl.GenBuffers(1, &instanceBuffer);
  gl.BindBuffer(GL_ARRAY_BUFFER, instanceBuffer);
  gl.VertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 16, nullptr);
  gl.EnableVertexAttribArray(0);
  gl.VertexAttribDivisor(0, 1);
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_CULL_FACE);
  gl.ActiveTexture(GL_TEXTURE0);
  gl.Viewport(0, 0, o.width, o.height);
  if (o.cheapest) {
    // The picture plane never changes: drawn once, then copied to the screen every frame. The
    // copy is kept in the window's byte order with its rows turned over, which Mesa copies as
    // plain memory (see the engine's kept background).
    gl.GenTextures(1, &keptPicture);
    gl.BindTexture(GL_TEXTURE_2D, keptPicture);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, o.width, o.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                  nullptr);
    gl.GenFramebuffers(1, &keptFramebuffer);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, keptFramebuffer);
    gl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, keptPicture,
                            0);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.Disable(GL_BLEND);
    DrawPlane(pictureProgram, pictureTexture, 0.0f, 1.0f, 1.0f);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, keptFramebuffer);
    gl.BlitFramebuffer(0, 0, o.width, o.height, 0, o.height, o.width, 0, GL_COLOR_BUFFER_BIT,
                       GL_NEAREST);
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  }
  return true;
}

void Frame() {
  for (size_t i = 0; i < flakes.size(); ++i) {
    FlakeState& f = flakes[i];
    f.y -= f.fall;
    if (f.y < -8) f.y += 17;
    instances[i * 4] = f.x;
    instances[i * 4 + 1] = f.y;
    instances[i * 4 + 2] = f.z;
    instances[i * 4 + 3] = f.turn;
  }
  gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(instances.size() * sizeof(float)),
                instances.data(), GL_STREAM_DRAW);

  if (options.cheapest) {
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, keptFramebuffer);
    gl.BlitFramebuffer(0, options.height, options.width, 0, 0, 0, options.width, options.height,
                       GL_COLOR_BUFFER_BIT, GL_NEAREST);
  } else {
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.Disable(GL_BLEND);
    DrawPlane(pictureProgram, pictureTexture, 0.0f, 1.0f, 1.0f);
  }
  gl.Enable(GL_BLEND);
  gl.BlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  if (options.cover && !(options.cheapest && options.coverAlpha == 0)) {
    const float alpha = static_cast<float>(options.coverAlpha) / 255.0f;
    DrawPlane(coverProgram, coverTexture, 0.5f, options.cheapest ? 0.0f : 1.0f, alpha);
  }
  gl.UseProgram(flakeProgram);
  gl.Uniform4f(flakeColor, 1, 1, 1, 230.0f / 255.0f);
  gl.BindTexture(GL_TEXTURE_2D, flakeTexture);
  gl.DrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, static_cast<GLsizei>(flakes.size()));
  SDL_GL_SwapWindow(window);
}

void Finish() {
  gl.Finish();
}

void Close() {
  if (context) SDL_GL_DeleteContext(context);
  if (window) SDL_DestroyWindow(window);
  context = nullptr;
  window = nullptr;
  gl = Gl{};
}

}  // namespace ceiling
