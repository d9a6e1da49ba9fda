// Draws the scene with OpenGL 3.3 core: one instanced call per batch, 3D texts from the font
// atlases, sprites over the finished frame.
#pragma once

#include <vector>

#include "fonts.h"
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
  };

  bool BuildPrograms();
  const EntityProgram& EntityProgramFor(int layers, bool lit, bool fog);
  void UploadBatches(Scene& scene);
  void UploadFonts(Fonts& fonts);
  void UploadMesh(Mesh& mesh);
  void UpdateSampler(Material& m);
  void SetTarget(int antialiasing);
  void ApplyMaterialState(const Material& m);
  void DrawBatch(Scene& scene, Batch& batch, Material& m, const View& view);
  void DrawTextItem(Scene& scene, Fonts& fonts, Text& text, const View& view);

  bool open_ = false;
  int width_ = 0, height_ = 0;
  EntityProgram entityPrograms_[kMaxLayers + 1][2][2];  // by layers, lighting, fog
  gl::GLuint textProgram_ = 0, spriteProgram_ = 0;
  gl::GLint textMvp_ = -1, textColor_ = -1, textAtlasScale_ = -1, spriteRect_ = -1,
            spriteAlpha_ = -1;
  gl::GLuint vao_ = 0;
  gl::GLuint spriteSamplers_[2] = {0, 0};
  float maxAnisotropy_ = 0;  // 0: no anisotropic filtering
  int maxTextureSide_ = 0;
  bool depthInUse_ = true;  // something of this frame writes depth
  gl::GLuint msaaFbo_ = 0, msaaColor_ = 0, msaaDepth_ = 0;
  int msaaSamples_ = 0;
  Material defaultMaterial_;
  std::vector<DrawItem> items_;
  gl::GLsync lastFrame_ = nullptr;  // done when the last presented frame is drawn
};

}  // namespace engine
