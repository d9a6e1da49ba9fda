// Pictures addressed by number: a fixed number chosen by the caller (0 to 65535; an existing
// picture of that number is replaced) or kAnyPicture, which makes a new picture and returns its
// handle. Operations that make a picture return its number or handle, or kNoPicture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "images/codecs.h"
#include "images/image.h"

namespace images {

inline constexpr int32_t kAnyPicture = -1;
// The failure result. (A zero result cannot serve: 0 is one of the fixed numbers.)
inline constexpr int32_t kNoPicture = -1;
inline constexpr int32_t kMaxFixedPicture = 65535;

// A width x height picture, black unless `colour` (packed r + g * 256 + b * 65536) says
// otherwise. Depths below 24 are raised to 24; 32-bit pictures get alpha 255, except for the
// colour -1, which means transparent black.
int32_t CreatePicture(int32_t number, int32_t width, int32_t height, int32_t depth,
                      int32_t colour = 0);
int32_t LoadPicture(int32_t number, const std::string& path);
int32_t LoadPictureFromMemory(int32_t number, const uint8_t* data, size_t size);
int32_t CopyPicture(int32_t picture, int32_t number);
// Takes `image` over as a picture.
int32_t AddPicture(int32_t number, Image image);

bool SavePicture(int32_t picture, const std::string& path, uint32_t tag, int32_t quality = 7,
                 int32_t depth = kSourceDepth);
bool ResizePicture(int32_t picture, int32_t width, int32_t height, int32_t mode);

void FreePicture(int32_t picture);
bool PictureExists(int32_t picture);
int32_t PictureWidth(int32_t picture);
int32_t PictureHeight(int32_t picture);
// The picture itself, for drawing and for showing; null when there is none.
Image* GetPicture(int32_t picture);

}  // namespace images
