// The bare OpenGL program the engine's whole frame is measured against: no engine, no scene code,
// the same work drawn as plainly as OpenGL 3.3 allows. Two screen-filling textured planes (the
// picture, then optionally the black cover blended at its alpha) and one instanced draw of
// alpha-blended, fogged flake quads whose positions move and are uploaded every frame. Its own
// SDL window and context, made as the run makes its screen, or in the cheapest form that gives
// the same pixels.
#pragma once

#include <string>

namespace ceiling {

struct Options {
  int width = 1920;
  int height = 1080;
  std::string picture;  // the picture plane's file
  int flakes = 2000;
  float flakeScale = 0.03f;  // half the flake's width in world units
  bool cover = true;         // draw the cover plane
  int coverAlpha = 0;
  // The cheapest form of the same pixels: the picture, shown at about its size, read without
  // mipmaps or a colour factor, once, and copied to the screen each frame; the one-colour cover
  // as a plain colour, left out at alpha 0; a window without a depth buffer, as nothing tests
  // depth.
  bool cheapest = false;
};

// False when the window, the context, the picture or a shader cannot be made.
bool Open(const Options& options);
// Moves the flakes, draws a frame and presents it.
void Frame();
// Waits until the frame's pixels are done.
void Finish();
void Close();

}  // namespace ceiling
