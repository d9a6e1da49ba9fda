// Music during a run: one file over and over, or every music file of a folder in turn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace run {

struct MusicPlan {
  bool on = false;
  bool wholeFolder = false;  // every piece of `folder` in turn; otherwise `file` over and over
  std::string file;
  std::string folder;
  int32_t volumePercent = 0;
};

// The run's music list: the one file, or the files of the folder (directory order) that are not
// empty and end in mp3, wma or wav, in any case. Empty when the music is off.
std::vector<std::string> BuildMusicList(const MusicPlan& plan);

struct MusicState {
  std::vector<std::string> list;
  bool wholeFolder = false;
  int32_t volumePercent = 0;
  int32_t index = 0;  // the entry to load next
  platform::MediaPlayer player = nullptr;
  // Folder mode: entries that failed one after another since a piece last played to its end.
  // When every entry has failed, the music stays silent instead of trying again and again.
  int32_t failures = 0;
};

// Before the first frame: builds the list and plays its first entry.
void MusicStart(MusicState& m, const MusicPlan& plan);
// After each presented frame; returns at once. When the piece has ended it plays again (one file)
// or the next entry plays, after the last the first (a folder). In a folder an entry that cannot
// be played is passed over.
void MusicStep(MusicState& m);
// Stops the music; at the end of the run, and before the dialog opens after one.
void MusicClose(MusicState& m);

}  // namespace run
