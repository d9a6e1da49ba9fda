// Picture files loaded into textures through the shared codec library.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "screen.h"

using namespace enginetest;

namespace {

// A 24-bit BMP of 3 x 2 pixels: top row red, green, blue; bottom row white, black, grey.
void WriteBmp(const std::filesystem::path& path) {
  const uint8_t rows[2][12] = {{255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0},  // bottom
                               {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}};       // top
  uint8_t header[54] = {'B', 'M'};
  auto put32 = [&](int at, uint32_t v) { std::memcpy(header + at, &v, 4); };
  put32(2, 54 + sizeof rows);
  put32(10, 54);
  put32(14, 40);
  put32(18, 3);
  put32(22, 2);
  header[26] = 1;
  header[28] = 24;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header), sizeof header);
  out.write(reinterpret_cast<const char*>(rows), sizeof rows);
}

class Load : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen_.ok());
    folder_ = FreshFolder("flurrix-load-");
    WriteBmp(folder_ / "picture.bmp");
  }
  void TearDown() override {
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }
  Screen screen_{64, 48};
  std::filesystem::path folder_;
};

TEST_F(Load, PictureRowsArriveBottomRowFirst) {
  ASSERT_NE(RTO_LoadTexture(1, (folder_ / "picture.bmp").string().c_str()), 0);
  int w = 0, h = 0, pitch = 0;
  const auto* p = static_cast<const uint8_t*>(RTO_LockTexture(1, &w, &h, &pitch));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(w, 3);
  ASSERT_EQ(h, 2);
  const uint8_t expected[] = {255, 255, 255, 255, 0, 0,   0, 255, 128, 128, 128, 255,
                              0,   0,   255, 255, 0, 255, 0, 255, 255, 0,   0,   255};
  EXPECT_EQ(std::memcmp(p, expected, sizeof expected), 0);
}

TEST_F(Load, NamesAreFoundInTheResourceFolders) {
  EXPECT_EQ(RTO_LoadTexture(1, "picture.bmp"), 0);
  ASSERT_EQ(RTO_Add3DArchive(folder_.string().c_str(), RTO_ARCHIVE_FOLDER), 1);
  EXPECT_NE(RTO_LoadTexture(1, "picture.bmp"), 0);
}

TEST_F(Load, AFailedLoadLeavesTheTextureAsItWas) {
  ASSERT_NE(RTO_CreateTexture(1, 5, 5), 0);
  std::ofstream(folder_ / "broken.png") << "not a picture";
  EXPECT_EQ(RTO_LoadTexture(1, (folder_ / "broken.png").string().c_str()), 0);
  int w = 0;
  RTO_LockTexture(1, &w, nullptr, nullptr);
  EXPECT_EQ(w, 5);
}

// A PNG whose header claims 16000 x 16000 pixels, with a little pixel data after it.
void WriteHugePngHeader(const std::filesystem::path& path) {
  std::string file = "\x89PNG\r\n\x1a\n";
  auto chunk = [&](const char* kind, const std::string& data) {
    const std::string body = kind + data;
    auto be32 = [](uint32_t v) {
      return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    const auto* bytes = reinterpret_cast<const Bytef*>(body.data());
    file += be32(static_cast<uint32_t>(data.size())) + body +
            be32(static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(body.size()))));
  };
  chunk("IHDR", std::string("\0\0\x3e\x80\0\0\x3e\x80\x08\x02\0\0\0", 13));
  chunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9));
  std::ofstream(path, std::ios::binary) << file;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST_F(Load, AHugePictureIsRefusedFromItsHeaderBeforeAnyPixelsAreMade) {
  WriteHugePngHeader(folder_ / "huge.png");
  const long before = PeakKilobytes();
  EXPECT_EQ(RTO_LoadTexture(1, (folder_ / "huge.png").string().c_str()), 0);
  EXPECT_LT(PeakKilobytes() - before, 100 * 1024);  // decoding would take 768 MB
}

}  // namespace
