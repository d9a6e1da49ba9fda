// Music during a run: one file over and over, or every music file of a folder in turn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"

namespace run {

// The run's music list: for `musicmode` 0 `musicfile`; for 1 the files of `musicfolder` (directory
// order) that are not empty and end in mp3, wma or wav, in any case. Empty when `music` is off.
std::vector<std::string> BuildMusicList(const settings::Settings& s);

struct MusicState {
  std::vector<std::string> list;
  int32_t index = 0;  // the entry to load next
  platform::MediaPlayer player = nullptr;
  // Folder mode: entries that failed one after another since a piece last played to its end.
  // When every entry has failed, the music stays silent instead of trying again and again.
  int32_t failures = 0;
};

// Before the first frame: loads the entry at the index and plays it. `musicvol` is in percent.
void MusicStart(MusicState& m, const settings::Settings& s);
// After each presented frame; returns at once. When the piece has ended it plays again (file mode)
// or the next entry plays, after the last the first (folder mode). In folder mode an entry that
// cannot be played is passed over.
void MusicStep(MusicState& m, const settings::Settings& s);
// Stops the music; at the end of the run, and before the dialog opens after one.
void MusicClose(MusicState& m);

}  // namespace run
