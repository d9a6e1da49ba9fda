// The media player: a DirectShow filter graph, audio only. Its events are polled, never waited on,
// so no call holds up a frame.
#include <windows.h>

#include <dshow.h>

#include "platform/platform.h"
#include "platform/win32/wide.h"

namespace platform {

struct MediaPlayerState {
  IGraphBuilder* graph = nullptr;
  IMediaControl* control = nullptr;
  IMediaSeeking* seeking = nullptr;
  IMediaEvent* events = nullptr;
  IBasicAudio* audio = nullptr;
  MediaState state = MediaState::kPlaying;
};

namespace {

template <typename Interface>
void Release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

// Takes the graph's waiting events: the end of the piece or a fault.
void DrainEvents(MediaPlayer player) {
  long code = 0;
  LONG_PTR first = 0;
  LONG_PTR second = 0;
  while (player->events->GetEvent(&code, &first, &second, 0) == S_OK) {
    player->events->FreeEventParams(code, first, second);
    if (code == EC_ERRORABORT || code == EC_ERRORABORTEX || code == EC_USERABORT) {
      player->state = MediaState::kFailed;
    } else if (code == EC_COMPLETE && player->state != MediaState::kFailed) {
      player->state = MediaState::kEnded;
    }
  }
}

}  // namespace

bool StartMedia() {
  static const bool started = [] {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // COM already started on this thread, in either model, serves as well.
    return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
  }();
  return started;
}

MediaPlayer LoadMedia(const std::string& path) {
  // RenderFile opens a pipe or a device too, and would wait on it.
  if (FileSize(path) <= 0) return nullptr;
  auto* player = new MediaPlayerState;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&player->graph)))) {
    delete player;
    return nullptr;
  }
  const HRESULT rendered = player->graph->RenderFile(Widen(path).c_str(), nullptr);
  IGraphBuilder* graph = player->graph;
  // A graph without a way to the sound card plays nothing to hear.
  if (FAILED(rendered) || rendered == VFW_S_AUDIO_NOT_RENDERED ||
      FAILED(
          graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&player->control))) ||
      FAILED(
          graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&player->seeking))) ||
      FAILED(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&player->events)))) {
    CloseMedia(player);
    return nullptr;
  }
  graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&player->audio));
  player->seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
  // A file that also holds pictures must not open a video window over the run.
  IVideoWindow* video = nullptr;
  if (SUCCEEDED(graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video)))) {
    video->put_AutoShow(OAFALSE);
    video->Release();
  }
  return player;
}

void SetMediaVolume(MediaPlayer player, int32_t volume) {
  if (player && player->audio) player->audio->put_Volume(MediaAttenuation(volume));
}

void PlayMedia(MediaPlayer player) {
  if (!player) return;
  // An end already among the events belongs to the run before this one.
  DrainEvents(player);
  if (player->state == MediaState::kFailed) return;
  player->control->Stop();
  LONGLONG start = 0;
  player->seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                AM_SEEKING_NoPositioning);
  player->state = MediaState::kPlaying;
  if (FAILED(player->control->Run())) player->state = MediaState::kFailed;
}

MediaState PollMedia(MediaPlayer player) {
  if (!player) return MediaState::kFailed;
  DrainEvents(player);
  if (player->state == MediaState::kPlaying) {
    // The position reaching the stop position also means the end.
    LONGLONG current = 0;
    LONGLONG stop = 0;
    if (SUCCEEDED(player->seeking->GetCurrentPosition(&current)) &&
        SUCCEEDED(player->seeking->GetStopPosition(&stop)) && stop > 0 && current >= stop) {
      player->state = MediaState::kEnded;
    }
  }
  return player->state;
}

void CloseMedia(MediaPlayer player) {
  if (!player) return;
  if (player->control) player->control->Stop();
  Release(player->audio);
  Release(player->events);
  Release(player->seeking);
  Release(player->control);
  Release(player->graph);
  delete player;
}

}  // namespace platform
