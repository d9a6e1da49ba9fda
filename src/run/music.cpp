#include "run/music.h"

#include <algorithm>
#include <cctype>

namespace run {
namespace {

bool IsMusicFile(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == "mp3" || extension == "wma" || extension == "wav";
}

// Loads the entry at the index and moves the index on. In folder mode an entry that cannot be
// played is passed over, until every entry of the list has failed in a row.
void LoadNext(MusicState& m) {
  const auto count = static_cast<int32_t>(m.list.size());
  while (!m.player && m.failures < count) {
    if (m.index >= count) m.index = 0;
    m.player = platform::LoadMedia(m.list[m.index]);
    ++m.index;
    if (m.player) {
      platform::SetMediaVolume(m.player, m.volumePercent);
      platform::PlayMedia(m.player);
    } else if (m.wholeFolder) {
      ++m.failures;
    } else {
      return;
    }
  }
}

}  // namespace

std::vector<std::string> BuildMusicList(const MusicPlan& plan) {
  if (!plan.on) return {};
  if (!plan.wholeFolder) return {plan.file};
  std::vector<std::string> list;
  for (const platform::FolderEntry& entry : platform::ListFiles(plan.folder)) {
    if (entry.size > 0 && IsMusicFile(entry.name)) list.push_back(plan.folder + entry.name);
  }
  return list;
}

void MusicStart(MusicState& m, const MusicPlan& plan) {
  m.list = BuildMusicList(plan);
  m.wholeFolder = plan.wholeFolder;
  m.volumePercent = plan.volumePercent;
  m.index = 0;
  m.failures = 0;
  if (m.list.empty() || !platform::StartMedia()) return;
  LoadNext(m);
}

void MusicStep(MusicState& m) {
  if (!m.player) return;
  switch (platform::PollMedia(m.player)) {
    case platform::MediaState::kPlaying:
      return;
    case platform::MediaState::kEnded:
      m.failures = 0;
      if (!m.wholeFolder) {
        platform::PlayMedia(m.player);
        return;
      }
      break;
    case platform::MediaState::kFailed:
      // Found only while decoding: the same as a file that would not load.
      if (m.wholeFolder) ++m.failures;
      break;
  }
  platform::CloseMedia(m.player);
  m.player = nullptr;
  if (m.wholeFolder) LoadNext(m);
}

void MusicClose(MusicState& m) {
  platform::CloseMedia(m.player);
  m.player = nullptr;
}

}  // namespace run
