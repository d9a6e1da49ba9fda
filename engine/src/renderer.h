// Draws the scene with OpenGL 3.3 core: one instanced call per batch, 3D texts from the font
// atlases, sprites over the finished frame.
#pragma once

#include <cstdint>
#include <vector>

#include "fonts.h"
#include "footprint.h"
#include "gl_api.h"
#include "scene.h"

namespace engine {

// Where a frame goes: the cameras of one screen into the drawable that is current. Screen 0 is
// the opened one, at the opened size (width and height 0), and alone gets multisampling.
struct RenderTarget {
  int screen = 0;
  int width = 0, height = 0;
};

class Renderer {
 public:
  // Needs the GL entries loaded and the context current; false when it lacks GL 3.3.
  bool Open(int width, int height);
  // Deletes every GL object, those of the scene's dead lists included.
  void Close(Scene& scene);
  bool IsOpen() const { return open_; }
  // The widest and tallest texture the GL takes; 0 while closed.
  int MaxTextureSide() const { return open_ ? maxTextureSide_ : 0; }

  void Render(Scene& scene, Fonts& fonts, int antialiasing, RenderTarget target = {});
  void DrawSprite(Scene& scene, Sprite& sprite, int x, int y, int width, int height, bool linear);
  bool ReadScreen(void* pixels, int pitch);
  // After a frame is presented: waits until the frame before it is drawn. Without vertical sync
  // (a software renderer, an offscreen surface) frames would otherwise queue without bound,
  // taking memory and holding back what the screen shows.
  void FramePresented();
  void DeleteDead(Scene& scene);
  void UploadTexture(Texture& t);
  // Off, every frame is drawn the long way: cleared whole, textures read through the filtering
  // their materials ask for. The tests compare the short way with it; the pixels are the same.
  void SetShortcuts(bool on) { shortcuts_ = on; }

 private:
  struct EntityProgram {
    bool tried = false;
    gl::GLuint id = 0;
    gl::GLint viewProj = -1, eye = -1, lightDir = -1, ambient = -1, flat = -1, uvRotation = -1,
              fog = -1, fogAmount = -1, color = -1, fogColor = -1;
  };
  struct DrawItem {
    int key;    // queue * 4 + class (0 opaque, 1 text, 2 blended)
    int index;  // batch index or text number
    bool isText;
  };
  struct View {
    Mat4 viewProj;
    Vec3 eye, right, up, back;
    int width = 0, height = 0;  // of the viewport, in pixels
  };
  // GL state as set during this frame, so that draws set only what changes (-1: not known).
  struct State {
    int blend = -1, cull = -1, depthTest = -1, scissor = -1, depthMask = -1;
    gl::GLenum blendFunc[4] = {0, 0, 0, 0};
    gl::GLenum cullFace = 0;
    gl::GLuint program = ~0u;
  };

  // The leading draws of a frame (the background under the snow), kept as a picture while
  // nothing about them changes and copied to the screen instead of drawn again. One a screen:
  // each has its own size and its own view.
  struct Backdrop {
    gl::GLuint fbo = 0, texture = 0;  // the picture, its rows turned over
    int width = 0, height = 0;
    size_t items = 0;  // leading draws the picture holds; 0: none
    // What each leading draw depended on: the view's part first, then one part per draw;
    // `ends` holds where each part ends. This frame's and the last frame's.
    std::vector<uint32_t> now, seen;
    std::vector<size_t> nowEnds, seenEnds;
  };

  bool BuildPrograms();
  const EntityProgram& EntityProgramFor(int layers, bool lit, bool fog, bool tinted);
  void UploadBatches(Scene& scene);
  void UploadFonts(Fonts& fonts);
  void UploadMesh(Mesh& mesh);
  void UpdateSampler(Material& m);
  void SetTarget(int antialiasing);
  void ApplyMaterialState(const Material& m);
  void ClearView(Scene& scene, const View& view, const Camera& c, int x, int y, bool colour);
  size_t ShowBackdrop(Backdrop& d, Scene& scene, Fonts& fonts, const View& view, const Camera& c,
                      int x, int y, size_t cover);
  void Describe(Backdrop& d, Scene& scene, const View& view, const Camera& c, int x, int y);
  void DrawItems(Scene& scene, Fonts& fonts, const View& view, size_t first, size_t end);
  size_t CoveringItem(Scene& scene, const View& view);
  PixelRect DepthTestedArea(Scene& scene, const View& view);
  void EnsureMipmaps(Texture& t);
  void DrawBatch(Scene& scene, Batch& batch, Material& m, const View& view);
  void DrawTextItem(Scene& scene, Fonts& fonts, Text& text, const View& view);
  static void TextWorld(Scene& scene, const Text& text, const View& view, float* world);
  void Switch(gl::GLenum cap, int& known, bool on);
  void BlendFunc(gl::GLenum sc, gl::GLenum dc, gl::GLenum sa, gl::GLenum da);
  void DepthWrites(bool on);
  void Use(gl::GLuint program);
  void BindScreenVertexArray(int screen);

  bool open_ = false;
  bool shortcuts_ = true;
  State state_;
  int width_ = 0, height_ = 0;                  // of the opened screen
  int drawableWidth_ = 0, drawableHeight_ = 0;  // of the one this frame goes to
  // By layers, then lighting, fog and material colour (each on or off).
  EntityProgram entityPrograms_[(kMaxLayers + 1) * 8];
  gl::GLuint textProgram_ = 0, spriteProgram_ = 0;
  gl::GLint textMvp_ = -1, textColor_ = -1, textAtlasScale_ = -1, spriteRect_ = -1,
            spriteAlpha_ = -1;
  // Vertex arrays belong to one OpenGL context: one a screen, whose window may have a context of
  // its own sharing the rest; made on the screen's first frame.
  gl::GLuint vaos_[RTO_MAX_SCREEN + 1] = {};
  gl::GLuint spriteSamplers_[2] = {0, 0};
  gl::GLuint plainSampler_ = 0;  // bilinear, no mipmaps: for textures nowhere minified
  float maxAnisotropy_ = 0;      // 0: no anisotropic filtering
  int maxTextureSide_ = 0;
  bool depthInUse_ = true;  // something of this frame writes depth
  gl::GLuint msaaFbo_ = 0, msaaColor_ = 0, msaaDepth_ = 0;
  int msaaSamples_ = 0;
  Material defaultMaterial_;
  std::vector<DrawItem> items_;
  gl::GLsync lastFrame_ = nullptr;  // done when the last presented frame is drawn
  uint64_t uploads_ = 0;            // textures and meshes uploaded so far

  Backdrop backdrops_[RTO_MAX_SCREEN + 1];
};

}  // namespace engine
