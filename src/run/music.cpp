#include "run/music.h"

#include <algorithm>
#include <cctype>

#include "settings/modes.h"

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
void LoadNext(MusicState& m, const settings::Settings& s) {
  const auto count = static_cast<int32_t>(m.list.size());
  while (!m.player && m.failures < count) {
    if (m.index >= count) m.index = 0;
    m.player = platform::LoadMedia(m.list[m.index]);
    ++m.index;
    if (m.player) {
      platform::SetMediaVolume(m.player, s.musicvol);
      platform::PlayMedia(m.player);
    } else if (s.musicmode == settings::kMusicFolder) {
      ++m.failures;
    } else {
      return;
    }
  }
}

}  // namespace

std::vector<std::string> BuildMusicList(const settings::Settings& s) {
  if (!s.music) return {};
  if (s.musicmode != settings::kMusicFolder) return {s.musicfile};
  std::vector<std::string> list;
  for (const platform::FolderEntry& entry : platform::ListFiles(s.musicfolder)) {
    if (entry.size > 0 && IsMusicFile(entry.name)) list.push_back(s.musicfolder + entry.name);
  }
  return list;
}

void MusicStart(MusicState& m, const settings::Settings& s) {
  if (!s.music || m.list.empty() || !platform::StartMedia()) return;
  m.index = 0;
  m.failures = 0;
  LoadNext(m, s);
}

void MusicStep(MusicState& m, const settings::Settings& s) {
  if (!s.music || !m.player) return;
  switch (platform::PollMedia(m.player)) {
    case platform::MediaState::kPlaying:
      return;
    case platform::MediaState::kEnded:
      m.failures = 0;
      if (s.musicmode != settings::kMusicFolder) {
        platform::PlayMedia(m.player);
        return;
      }
      break;
    case platform::MediaState::kFailed:
      // Found only while decoding: the same as a file that would not load.
      if (s.musicmode == settings::kMusicFolder) ++m.failures;
      break;
  }
  platform::CloseMedia(m.player);
  m.player = nullptr;
  if (s.musicmode == settings::kMusicFolder) LoadNext(m, s);
}

void MusicClose(MusicState& m) {
  platform::CloseMedia(m.player);
  m.player = nullptr;
}

}  // namespace run
