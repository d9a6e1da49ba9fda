// Synthesised music: soft pads, a music-box melody and a breath of wind, made to loop
// seamlessly (the end flows into the start).
#pragma once

#include <cstdint>
#include <vector>

namespace artgen {

struct Piece {
  int rate = 44100;
  std::vector<float> left, right;  // -1..1
};

// About 90 seconds in D major, for "forest.mp3".
Piece ComposeForest();
// About 40 seconds, slower and brighter, for the WAV piece.
Piece ComposeSnowfall();

// Interleaved 16-bit samples, dithered.
std::vector<int16_t> ToPcm16(const Piece& piece);

}  // namespace artgen
