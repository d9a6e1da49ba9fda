// The engine calls the program makes for its scene pieces, so that the tests render what the
// screensaver renders.
#pragma once

namespace enginetest {

// Material 0 on texture 1 and the screen-filling picture plane in queue 0; returns the entity.
int ProgramPicturePlane(int screenWidth, int screenHeight);

// Material 1 on texture 6 (made here, opaque black) and the cover plane in queue 99.
int ProgramCoverPlane(int screenWidth, int screenHeight, int fadeLevel);

// The flake material on the given texture, with its fog; returns the material number.
int ProgramFlakeMaterial(int textureId);

// A hidden flake template of that material at (0, 0, 0.5), turned to face the viewer.
int ProgramFlakeTemplate(int material, float scale);

}  // namespace enginetest
