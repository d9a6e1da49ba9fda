// Music on Windows, run under Wine with a null audio output that keeps time: the DirectShow player
// plays the shipped pieces to their end, and the run's music restarts a piece or passes over a
// broken one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/wide.h"
#include "run/music.h"

namespace run {
namespace {

using platform::MediaState;

// A mono 8 kHz 16-bit WAV file of `seconds` of a quiet tone; false when it cannot be written.
bool WriteWav(const std::string& path, int seconds) {
  std::FILE* file = platform::OpenFile(path, "wb");
  if (!file) return false;
  const uint32_t rate = 8000;
  const uint32_t bytes = rate * 2 * seconds;
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, file); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, file); };
  std::fputs("RIFF", file);
  u32(36 + bytes);
  std::fputs("WAVEfmt ", file);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  std::fputs("data", file);
  u32(bytes);
  for (uint32_t i = 0; i < bytes / 2; ++i) u16(static_cast<uint16_t>(i % 16 < 8 ? 500 : -500));
  return platform::SyncAndClose(file);
}

// Seconds since `start`.
double Since(uint64_t start) {
  return (platform::MonotonicMs() - start) / 1000.0;
}

TEST(WindowsMusic, ShippedPiecesPlayToTheirEnd) {
  ASSERT_TRUE(platform::StartMedia());
  const std::string music = platform::ProgramFolder() + "data\\music\\";
  const char* names[] = {"forest.mp3", "snowfall.wav"};
  platform::MediaPlayer players[2] = {};
  double ends[2] = {};
  // Both at once: the check lasts as long as the longer piece.
  const uint64_t start = platform::MonotonicMs();
  for (int i = 0; i < 2; ++i) {
    players[i] = platform::LoadMedia(music + names[i]);
    ASSERT_NE(players[i], nullptr) << names[i];
    platform::SetMediaVolume(players[i], 20);
    platform::PlayMedia(players[i]);
  }
  for (bool playing = true; playing && Since(start) < 200;) {
    platform::SleepMs(50);
    playing = false;
    for (int i = 0; i < 2; ++i) {
      if (ends[i] == 0 && platform::PollMedia(players[i]) != MediaState::kPlaying) {
        ends[i] = Since(start);
      }
      playing = playing || ends[i] == 0;
    }
  }
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(platform::PollMedia(players[i]), MediaState::kEnded) << names[i];
    // Both pieces last well over half a minute: an end before that was no real playback.
    EXPECT_GT(ends[i], 30.0) << names[i];
    platform::CloseMedia(players[i]);
  }
}

TEST(WindowsMusic, FileModeRestartsFolderModePassesOverABrokenFile) {
  ASSERT_TRUE(platform::StartMedia());
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder =
      platform::Narrow(temp) + "flurrix-music-" + std::to_string(GetCurrentProcessId()) + "\\";
  ASSERT_TRUE(platform::CreateFolder(folder));
  ASSERT_TRUE(WriteWav(folder + "good.wav", 2));
  std::FILE* broken = platform::OpenFile(folder + "broken.mp3", "wb");
  ASSERT_NE(broken, nullptr);
  std::fputs(std::string(4000, 'z').c_str(), broken);
  platform::SyncAndClose(broken);

  run::MusicPlan plan{true, false, folder + "good.wav", folder, 20};
  for (const bool wholeFolder : {false, true}) {
    plan.wholeFolder = wholeFolder;
    MusicState m;
    MusicStart(m, plan);
    ASSERT_NE(m.player, nullptr) << "whole folder " << wholeFolder;
    int ends = 0;
    // Two ends of a 2-second piece; the limit only keeps a player that never ends from hanging
    // the check (a loaded machine has taken over 10 s).
    for (const uint64_t start = platform::MonotonicMs(); ends < 2 && Since(start) < 60;) {
      const bool ended = platform::PollMedia(m.player) == MediaState::kEnded;
      MusicStep(m);
      ASSERT_NE(m.player, nullptr) << "whole folder " << wholeFolder;
      if (ended) {
        ++ends;
        EXPECT_EQ(platform::PollMedia(m.player), MediaState::kPlaying) << "plays again at once";
      }
      platform::SleepMs(10);
    }
    EXPECT_EQ(ends, 2) << "whole folder " << wholeFolder;
    MusicClose(m);
  }
  platform::RemoveFile(folder + "good.wav");
  platform::RemoveFile(folder + "broken.mp3");
  RemoveDirectoryW(platform::Widen(folder).c_str());
}

}  // namespace
}  // namespace run
