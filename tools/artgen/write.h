// Every file that artgen writes goes through here: pictures, sound and plain copies.
// Pixel arguments are top row first; each writer returns false when the file cannot be written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

// 8-bit PNG, RGBA (colour type 6) when `channels` is 4, RGB when 3. zlib `level` 9 packs
// smallest; big, noisy pictures write much faster at a low level.
bool WritePng(const std::string& path, int width, int height, int channels,
              const std::vector<uint8_t>& pixels, int level = 9);
// JPEG and 24-bit BMP go through the program's own encoders. JPEG quality is theirs: 0..10,
// libjpeg's quality divided by ten.
bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
               int quality);
// The BMP is padded with zero bytes to `fileSize` when that is larger than its natural size.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                size_t fileSize = 0);
// Uncompressed 16-bit 5-5-5 BMP (x-r-g-b, blue in the low bits). The file is padded with zero
// bytes to `fileSize` when that is larger than its natural size.
bool WriteBmp555(const std::string& path, int width, int height,
                 const std::vector<uint16_t>& pixels, size_t fileSize = 0);
// 16-bit PCM WAV from interleaved samples.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels);
// Stereo MP3 through LAME at a constant bit rate.
bool WriteMp3(const std::string& path, const std::vector<float>& left,
              const std::vector<float>& right, int rate, int kbps);

bool WriteText(const std::string& path, const std::string& text);
bool CopyFile(const std::string& from, const std::string& to);

}  // namespace artgen
