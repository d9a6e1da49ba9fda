// The OpenGL 3.3 core entries the engine uses, loaded through the caller's get-proc-address
// function. Own declarations keep the engine free of platform GL headers.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define FLX_GLAPI __stdcall
#else
#define FLX_GLAPI
#endif

namespace gl {

using GLenum = unsigned int;
using GLuint = unsigned int;
using GLint = int;
using GLsizei = int;
using GLfloat = float;
using GLdouble = double;
using GLboolean = unsigned char;
using GLbitfield = unsigned int;
using GLchar = char;
using GLubyte = unsigned char;
using GLsizeiptr = std::ptrdiff_t;
using GLintptr = std::ptrdiff_t;
using GLuint64 = std::uint64_t;
using GLsync = struct GLsyncObject*;

inline constexpr GLenum kTriangles = 0x0004;
inline constexpr GLenum kSyncGpuCommandsComplete = 0x9117;
inline constexpr GLbitfield kSyncFlushCommandsBit = 0x00000001;
inline constexpr GLuint64 kTimeoutIgnored = ~GLuint64{0};
inline constexpr GLenum kTriangleStrip = 0x0005;
inline constexpr GLenum kUnsignedByte = 0x1401;
inline constexpr GLenum kUnsignedInt = 0x1405;
inline constexpr GLenum kFloat = 0x1406;
inline constexpr GLenum kTexture2D = 0x0DE1;
inline constexpr GLenum kTexture0 = 0x84C0;
inline constexpr GLenum kRgba8 = 0x8058;
inline constexpr GLenum kBgra = 0x80E1;
inline constexpr GLenum kRgba = 0x1908;
inline constexpr GLenum kRed = 0x1903;
inline constexpr GLenum kBlue = 0x1905;
inline constexpr GLenum kR8 = 0x8229;
inline constexpr GLenum kArrayBuffer = 0x8892;
inline constexpr GLenum kElementArrayBuffer = 0x8893;
inline constexpr GLenum kStaticDraw = 0x88E4;
inline constexpr GLenum kStreamDraw = 0x88E0;
inline constexpr GLenum kVertexShader = 0x8B31;
inline constexpr GLenum kFragmentShader = 0x8B30;
inline constexpr GLenum kCompileStatus = 0x8B81;
inline constexpr GLenum kLinkStatus = 0x8B82;
inline constexpr GLbitfield kColorBufferBit = 0x00004000;
inline constexpr GLbitfield kDepthBufferBit = 0x00000100;
inline constexpr GLenum kDepthTest = 0x0B71;
inline constexpr GLenum kBlend = 0x0BE2;
inline constexpr GLenum kCullFace = 0x0B44;
inline constexpr GLenum kScissorTest = 0x0C11;
inline constexpr GLenum kMultisample = 0x809D;
inline constexpr GLenum kBack = 0x0405;
inline constexpr GLenum kFront = 0x0404;
inline constexpr GLenum kLequal = 0x0203;
inline constexpr GLenum kSrcAlpha = 0x0302;
inline constexpr GLenum kOneMinusSrcAlpha = 0x0303;
inline constexpr GLenum kOne = 1;
inline constexpr GLenum kZero = 0;
inline constexpr GLenum kDstColor = 0x0306;
inline constexpr GLenum kTextureMinFilter = 0x2801;
inline constexpr GLenum kTextureMagFilter = 0x2800;
inline constexpr GLenum kTextureWrapS = 0x2802;
inline constexpr GLenum kTextureWrapT = 0x2803;
inline constexpr GLenum kTextureMaxLevel = 0x813D;
inline constexpr GLenum kTextureSwizzleR = 0x8E42;
inline constexpr GLenum kTextureSwizzleB = 0x8E44;
inline constexpr GLenum kTextureMaxAnisotropy = 0x84FE;
inline constexpr GLenum kMaxTextureMaxAnisotropy = 0x84FF;
inline constexpr GLenum kMaxTextureSize = 0x0D33;
inline constexpr GLint kRepeat = 0x2901;
inline constexpr GLint kClampToEdge = 0x812F;
inline constexpr GLint kNearest = 0x2600;
inline constexpr GLint kLinear = 0x2601;
inline constexpr GLint kLinearMipmapNearest = 0x2701;
inline constexpr GLint kLinearMipmapLinear = 0x2703;
inline constexpr GLenum kMajorVersion = 0x821B;
inline constexpr GLenum kMinorVersion = 0x821C;
inline constexpr GLenum kNumExtensions = 0x821D;
inline constexpr GLenum kExtensions = 0x1F03;
inline constexpr GLenum kRenderer = 0x1F01;
inline constexpr GLenum kPackAlignment = 0x0D05;
inline constexpr GLenum kUnpackAlignment = 0x0CF5;
inline constexpr GLenum kPackRowLength = 0x0D02;
inline constexpr GLenum kFramebuffer = 0x8D40;
inline constexpr GLenum kReadFramebuffer = 0x8CA8;
inline constexpr GLenum kDrawFramebuffer = 0x8CA9;
inline constexpr GLenum kRenderbuffer = 0x8D41;
inline constexpr GLenum kColorAttachment0 = 0x8CE0;
inline constexpr GLenum kDepthAttachment = 0x8D00;
inline constexpr GLenum kDepthComponent24 = 0x81A6;
inline constexpr GLenum kFramebufferComplete = 0x8CD5;
inline constexpr GLenum kMaxSamples = 0x8D57;

// X(return type, name, parameter list)
#define FLX_GL_FUNCTIONS(X)                                                                    \
  X(const GLubyte*, GetString, (GLenum name))                                                  \
  X(const GLubyte*, GetStringi, (GLenum name, GLuint index))                                   \
  X(void, GetIntegerv, (GLenum pname, GLint * data))                                           \
  X(void, GetFloatv, (GLenum pname, GLfloat * data))                                           \
  X(void, Viewport, (GLint x, GLint y, GLsizei w, GLsizei h))                                  \
  X(void, Scissor, (GLint x, GLint y, GLsizei w, GLsizei h))                                   \
  X(void, Enable, (GLenum cap))                                                                \
  X(void, Disable, (GLenum cap))                                                               \
  X(void, ClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                            \
  X(void, ClearDepth, (GLdouble d))                                                            \
  X(void, Clear, (GLbitfield mask))                                                            \
  X(void, BlendFuncSeparate, (GLenum sc, GLenum dc, GLenum sa, GLenum da))                     \
  X(void, DepthMask, (GLboolean flag))                                                         \
  X(void, DepthFunc, (GLenum func))                                                            \
  X(void, CullFace, (GLenum mode))                                                             \
  X(void, PixelStorei, (GLenum pname, GLint param))                                            \
  X(void, ReadPixels, (GLint x, GLint y, GLsizei w, GLsizei h, GLenum f, GLenum t, void* p))   \
  X(void, Finish, ())                                                                          \
  X(void, GenTextures, (GLsizei n, GLuint * t))                                                \
  X(void, DeleteTextures, (GLsizei n, const GLuint* t))                                        \
  X(void, BindTexture, (GLenum target, GLuint t))                                              \
  X(void, ActiveTexture, (GLenum unit))                                                        \
  X(void, TexImage2D,                                                                          \
    (GLenum tg, GLint l, GLint ifmt, GLsizei w, GLsizei h, GLint b, GLenum f, GLenum t,        \
     const void* p))                                                                           \
  X(void, TexSubImage2D,                                                                       \
    (GLenum tg, GLint l, GLint x, GLint y, GLsizei w, GLsizei h, GLenum f, GLenum t,           \
     const void* p))                                                                           \
  X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                           \
  X(void, GenSamplers, (GLsizei n, GLuint * s))                                                \
  X(void, DeleteSamplers, (GLsizei n, const GLuint* s))                                        \
  X(void, BindSampler, (GLuint unit, GLuint s))                                                \
  X(void, SamplerParameteri, (GLuint s, GLenum pname, GLint param))                            \
  X(void, SamplerParameterf, (GLuint s, GLenum pname, GLfloat param))                          \
  X(void, GenBuffers, (GLsizei n, GLuint * b))                                                 \
  X(void, DeleteBuffers, (GLsizei n, const GLuint* b))                                         \
  X(void, BindBuffer, (GLenum target, GLuint b))                                               \
  X(void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage))        \
  X(void, BufferSubData, (GLenum target, GLintptr off, GLsizeiptr size, const void* data))     \
  X(void, GenVertexArrays, (GLsizei n, GLuint * a))                                            \
  X(void, DeleteVertexArrays, (GLsizei n, const GLuint* a))                                    \
  X(void, BindVertexArray, (GLuint a))                                                         \
  X(void, EnableVertexAttribArray, (GLuint index))                                             \
  X(void, DisableVertexAttribArray, (GLuint index))                                            \
  X(void, VertexAttribPointer,                                                                 \
    (GLuint i, GLint size, GLenum type, GLboolean norm, GLsizei stride, const void* p))        \
  X(void, VertexAttribDivisor, (GLuint index, GLuint divisor))                                 \
  X(void, VertexAttrib4f, (GLuint index, GLfloat x, GLfloat y, GLfloat z, GLfloat w))          \
  X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))                               \
  X(void, DrawArraysInstanced, (GLenum mode, GLint first, GLsizei count, GLsizei instances))   \
  X(void, DrawElementsInstanced,                                                               \
    (GLenum mode, GLsizei count, GLenum type, const void* indices, GLsizei instances))         \
  X(GLuint, CreateShader, (GLenum type))                                                       \
  X(void, ShaderSource, (GLuint s, GLsizei n, const GLchar* const* src, const GLint* len))     \
  X(void, CompileShader, (GLuint s))                                                           \
  X(void, GetShaderiv, (GLuint s, GLenum pname, GLint * v))                                    \
  X(void, GetShaderInfoLog, (GLuint s, GLsizei max, GLsizei * len, GLchar * log))              \
  X(void, DeleteShader, (GLuint s))                                                            \
  X(GLuint, CreateProgram, ())                                                                 \
  X(void, AttachShader, (GLuint p, GLuint s))                                                  \
  X(void, LinkProgram, (GLuint p))                                                             \
  X(void, GetProgramiv, (GLuint p, GLenum pname, GLint * v))                                   \
  X(void, GetProgramInfoLog, (GLuint p, GLsizei max, GLsizei * len, GLchar * log))             \
  X(void, DeleteProgram, (GLuint p))                                                           \
  X(void, UseProgram, (GLuint p))                                                              \
  X(GLint, GetUniformLocation, (GLuint p, const GLchar* name))                                 \
  X(void, Uniform1i, (GLint loc, GLint v))                                                     \
  X(void, Uniform1f, (GLint loc, GLfloat v))                                                   \
  X(void, Uniform2f, (GLint loc, GLfloat a, GLfloat b))                                        \
  X(void, Uniform3f, (GLint loc, GLfloat a, GLfloat b, GLfloat c))                             \
  X(void, Uniform4f, (GLint loc, GLfloat a, GLfloat b, GLfloat c, GLfloat d))                  \
  X(void, UniformMatrix4fv, (GLint loc, GLsizei n, GLboolean transpose, const GLfloat* v))     \
  X(void, GenFramebuffers, (GLsizei n, GLuint * f))                                            \
  X(void, DeleteFramebuffers, (GLsizei n, const GLuint* f))                                    \
  X(void, BindFramebuffer, (GLenum target, GLuint f))                                          \
  X(void, GenRenderbuffers, (GLsizei n, GLuint * r))                                           \
  X(void, DeleteRenderbuffers, (GLsizei n, const GLuint* r))                                   \
  X(void, BindRenderbuffer, (GLenum target, GLuint r))                                         \
  X(void, RenderbufferStorageMultisample,                                                      \
    (GLenum target, GLsizei samples, GLenum fmt, GLsizei w, GLsizei h))                        \
  X(void, FramebufferRenderbuffer, (GLenum target, GLenum att, GLenum rbt, GLuint r))          \
  X(void, FramebufferTexture2D, (GLenum target, GLenum att, GLenum tt, GLuint t, GLint level)) \
  X(GLenum, CheckFramebufferStatus, (GLenum target))                                           \
  X(GLsync, FenceSync, (GLenum condition, GLbitfield flags))                                   \
  X(GLenum, ClientWaitSync, (GLsync sync, GLbitfield flags, GLuint64 timeout))                 \
  X(void, DeleteSync, (GLsync sync))                                                           \
  X(void, BlitFramebuffer,                                                                     \
    (GLint sx0, GLint sy0, GLint sx1, GLint sy1, GLint dx0, GLint dy0, GLint dx1, GLint dy1,   \
     GLbitfield mask, GLenum filter))

#define FLX_GL_DECLARE(ret, name, params)   \
  using Pfn##name = ret(FLX_GLAPI*) params; \
  extern Pfn##name name;
FLX_GL_FUNCTIONS(FLX_GL_DECLARE)
#undef FLX_GL_DECLARE

// Looks up every entry; false when one is missing.
bool Load(void* (*getProcAddress)(const char*));

// True when the current context offers the named extension.
bool HasExtension(const char* name);

}  // namespace gl
