// Music during a run, through the real player: GStreamer decodes real files into a sink that keeps
// time but makes no sound, so playback really ends and restarts.
#include "run/music.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
// GLib and GStreamer are built without frame pointers: only the slow unwinder sees which of their
// own leaks the suppressions name.
extern "C" const char* __lsan_default_options() {
  return "fast_unwind_on_malloc=0:suppressions=" FLURRIX_LSAN_SUPPRESSIONS;
}
#endif

namespace run {
namespace {

namespace fs = std::filesystem;
using platform::MediaState;

// A mono 8 kHz 16-bit WAV file of `seconds` of a quiet tone.
void WriteWav(const fs::path& path, int seconds) {
  const uint32_t rate = 8000;
  const uint32_t bytes = rate * 2 * seconds;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out << "RIFF";
  u32(36 + bytes);
  out << "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  out << "data";
  u32(bytes);
  for (uint32_t i = 0; i < bytes / 2; ++i) u16(static_cast<uint16_t>(i % 16 < 8 ? 500 : -500));
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path) << text;
}

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("FLURRIX_AUDIO_SINK", "fakesink sync=true", 1);
    ASSERT_TRUE(platform::StartMedia());
    folder_ = fs::temp_directory_path() /
              ("music-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    plan_.on = true;
    plan_.volumePercent = 20;
    plan_.folder = folder_.string() + "/";
  }
  void TearDown() override {
    MusicClose(m_);
    fs::remove_all(folder_);
  }

  void Start(int8_t mode) {
    plan_.wholeFolder = mode == 1;
    MusicStart(m_, plan_);
  }

  // Runs the music step as a run does, every 10 ms, until `done` holds or `seconds` have passed.
  // Notes the times (seconds from the call) at which a piece ended and at which the index moved
  // on, with the new index.
  struct Change {
    double at;
    int32_t index;
  };
  template <class Done>
  void StepUntil(double seconds, Done done) {
    ends_.clear();
    changes_.clear();
    const uint64_t start = platform::MonotonicMs();
    for (uint64_t now = start; now - start < seconds * 1000 && !done();
         now = platform::MonotonicMs()) {
      const double at = (now - start) / 1000.0;
      if (m_.player && platform::PollMedia(m_.player) == MediaState::kEnded) ends_.push_back(at);
      const int32_t index = m_.index;
      MusicStep(m_);
      if (m_.index != index) changes_.push_back({at, m_.index});
      platform::SleepMs(10);
    }
  }
  void StepFor(double seconds) {
    StepUntil(seconds, [] { return false; });
  }

  std::vector<double> ends_;
  std::vector<Change> changes_;
  fs::path folder_;
  MusicPlan plan_;
  MusicState m_;
};

TEST(MusicVolume, AttenuationAndAmplitude) {
  EXPECT_EQ(platform::MediaAttenuation(0), -10000);
  EXPECT_EQ(platform::MediaAttenuation(1), -4000);
  EXPECT_EQ(platform::MediaAttenuation(20), -1398);
  EXPECT_EQ(platform::MediaAttenuation(50), -603);
  EXPECT_EQ(platform::MediaAttenuation(99), -9);
  EXPECT_EQ(platform::MediaAttenuation(100), 0);
  EXPECT_EQ(platform::AttenuationToAmplitude(-10000), 0.0);
  EXPECT_NEAR(platform::AttenuationToAmplitude(-2000), 0.1, 1e-12);
  EXPECT_NEAR(platform::AttenuationToAmplitude(-603), 0.4995, 1e-4);
  EXPECT_EQ(platform::AttenuationToAmplitude(0), 1.0);
}

TEST_F(MusicTest, ListIsTheFileOrTheFolderMusicFilesInDirectoryOrder) {
  WriteText(folder_ / "a.mp3", "x");
  WriteText(folder_ / "B.WAV", "x");
  WriteText(folder_ / "c.txt", "x");
  WriteText(folder_ / "d.ogg", "x");
  WriteText(folder_ / "e.mp3", "");
  fs::create_directory(folder_ / "f.wma");
  std::vector<std::string> expected;
  for (const platform::FolderEntry& entry : platform::ListFiles(plan_.folder)) {
    if (entry.name == "a.mp3" || entry.name == "B.WAV")
      expected.push_back(plan_.folder + entry.name);
  }
  plan_.wholeFolder = true;
  EXPECT_EQ(BuildMusicList(plan_), expected);

  plan_.wholeFolder = false;
  plan_.file = "/any/piece.mp3";
  EXPECT_EQ(BuildMusicList(plan_), std::vector<std::string>{"/any/piece.mp3"});
  plan_.on = false;
  EXPECT_TRUE(BuildMusicList(plan_).empty());
}

TEST_F(MusicTest, EmptyFolderIsSilent) {
  WriteText(folder_ / "notes.txt", "x");
  Start(1);
  EXPECT_TRUE(m_.list.empty());
  EXPECT_EQ(m_.player, nullptr);
  StepFor(0.1);
  EXPECT_TRUE(changes_.empty());
}

TEST_F(MusicTest, FileModeRestartsThePieceWhenItEnds) {
  WriteWav(folder_ / "three.wav", 3);
  plan_.file = (folder_ / "three.wav").string();
  Start(0);
  ASSERT_NE(m_.player, nullptr);
  StepUntil(12, [&] { return ends_.size() == 2; });
  ASSERT_EQ(ends_.size(), 2u);
  // Played in real time, and the second time the whole piece again, restarted at once.
  EXPECT_GT(ends_[0], 2.8);
  EXPECT_GT(ends_[1] - ends_[0], 2.8);
  EXPECT_LT(ends_[1] - ends_[0], 4.5);
  EXPECT_EQ(m_.index, 1);
}

TEST_F(MusicTest, FolderModePlaysEachInTurnThenTheFirstAgain) {
  WriteWav(folder_ / "one.wav", 1);
  WriteWav(folder_ / "TWO.WAV", 2);
  Start(1);
  ASSERT_EQ(m_.list.size(), 2u);
  ASSERT_NE(m_.player, nullptr);
  EXPECT_EQ(m_.index, 1);
  const double first = m_.list[0].ends_with("one.wav") ? 1.0 : 2.0;
  StepUntil(8, [&] { return changes_.size() == 2; });
  ASSERT_EQ(changes_.size(), 2u);
  EXPECT_EQ(changes_[0].index, 2);
  EXPECT_GT(changes_[0].at, first - 0.2);
  EXPECT_LT(changes_[0].at, first + 1.5);
  EXPECT_EQ(changes_[1].index, 1) << "after the last entry the first";
  EXPECT_GT(changes_[1].at - changes_[0].at, 2.8 - first);
  EXPECT_LT(changes_[1].at - changes_[0].at, 4.5 - first);
  EXPECT_NE(m_.player, nullptr);
}

TEST_F(MusicTest, UnplayableFilePassedOverInFolderModeSilentInFileMode) {
  WriteText(folder_ / "broken.mp3", std::string(4000, 'z'));
  WriteWav(folder_ / "good.wav", 1);
  Start(1);
  StepUntil(8, [&] { return ends_.size() == 2; });
  ASSERT_EQ(ends_.size(), 2u) << "the good piece plays again and again";
  EXPECT_GT(ends_[1] - ends_[0], 0.8);
  EXPECT_NE(m_.player, nullptr);
  MusicClose(m_);

  plan_.file = (folder_ / "broken.mp3").string();
  Start(0);
  StepUntil(5, [&] { return m_.player == nullptr; });
  EXPECT_EQ(m_.player, nullptr);
  StepFor(0.2);
  EXPECT_EQ(m_.index, 1) << "file mode never moves on";
}

TEST_F(MusicTest, FolderOfNothingPlayableGoesSilentAfterOneTurn) {
  WriteText(folder_ / "a.mp3", std::string(4000, 'z'));
  WriteText(folder_ / "b.wav", "RIFF garbage");
  Start(1);
  StepUntil(5, [&] { return m_.player == nullptr; });
  EXPECT_EQ(m_.player, nullptr);
  EXPECT_EQ(m_.failures, 2);
  EXPECT_EQ(m_.index, 2) << "each entry tried once";
  StepFor(0.2);
  EXPECT_TRUE(changes_.empty());
}

// The folder's files cut short, turned into folders or deleted while the run plays them.
TEST_F(MusicTest, FolderMangledDuringTheRunGoesSilentAfterThePlayingPiece) {
  for (const char* name : {"one.wav", "two.wav", "three.wav"}) WriteWav(folder_ / name, 1);
  Start(1);
  ASSERT_EQ(m_.list.size(), 3u);
  ASSERT_NE(m_.player, nullptr);
  fs::remove(m_.list[0]);  // the piece playing now
  fs::resize_file(m_.list[1], 20);
  fs::remove(m_.list[2]);
  fs::create_directory(m_.list[2]);
  StepUntil(6, [&] { return m_.player == nullptr; });
  EXPECT_EQ(m_.player, nullptr);
  EXPECT_EQ(ends_.size(), 1u) << "the piece whose file went plays to its end";
  EXPECT_EQ(m_.failures, 3);
  StepFor(0.2);
  EXPECT_TRUE(changes_.empty());
}

TEST_F(MusicTest, ShippedPiecesDecodeToTheirEnd) {
  // Without keeping time the whole piece decodes in a moment.
  setenv("FLURRIX_AUDIO_SINK", "fakesink sync=false", 1);
  const fs::path music = fs::path(std::getenv("FLURRIX_BUILD_DIR")) / "data" / "music";
  for (const char* name : {"forest.mp3", "snowfall.wav"}) {
    platform::MediaPlayer player = platform::LoadMedia((music / name).string());
    ASSERT_NE(player, nullptr) << name;
    platform::SetMediaVolume(player, 50);
    platform::PlayMedia(player);
    MediaState state = MediaState::kPlaying;
    for (int i = 0; i < 2000 && state == MediaState::kPlaying; ++i) {
      platform::SleepMs(10);
      state = platform::PollMedia(player);
    }
    EXPECT_EQ(state, MediaState::kEnded) << name;
    platform::CloseMedia(player);
  }
  EXPECT_EQ(platform::LoadMedia((folder_ / "missing.mp3").string()), nullptr);
  WriteText(folder_ / "empty.wav", "");
  EXPECT_EQ(platform::LoadMedia((folder_ / "empty.wav").string()), nullptr);
}

TEST_F(MusicTest, TheVolumeReachesTheSound) {
  // The output is a WAV file: a tone of amplitude 500 comes out scaled by the volume.
  WriteWav(folder_ / "tone.wav", 1);
  auto peakAt = [&](int32_t volume) {
    const fs::path out = folder_ / ("out" + std::to_string(volume) + ".wav");
    setenv("FLURRIX_AUDIO_SINK",
           ("audioconvert ! audio/x-raw,format=S16LE,channels=1 ! wavenc ! filesink location=" +
            out.string())
               .c_str(),
           1);
    platform::MediaPlayer player = platform::LoadMedia((folder_ / "tone.wav").string());
    if (!player) return -1;
    platform::SetMediaVolume(player, volume);
    platform::PlayMedia(player);
    for (int i = 0; i < 500 && platform::PollMedia(player) == MediaState::kPlaying; ++i)
      platform::SleepMs(10);
    platform::CloseMedia(player);
    std::ifstream in(out, std::ios::binary);
    const std::string wav{std::istreambuf_iterator<char>(in), {}};
    const size_t data = wav.find("data");  // the samples; tags may follow them
    if (data == std::string::npos || data + 8 > wav.size()) return -1;
    uint32_t size = 0;
    std::memcpy(&size, wav.data() + data + 4, 4);
    int peak = 0;
    for (size_t i = data + 8; i + 1 < std::min<size_t>(wav.size(), data + 8 + size); i += 2) {
      int16_t sample = 0;
      std::memcpy(&sample, wav.data() + i, 2);
      peak = std::max(peak, std::abs(sample));
    }
    return peak;
  };
  EXPECT_NEAR(peakAt(100), 500, 5);
  EXPECT_NEAR(peakAt(20), 100, 5);
  EXPECT_EQ(peakAt(0), 0);
}

}  // namespace
}  // namespace run
