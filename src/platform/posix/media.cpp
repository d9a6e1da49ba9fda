// The media player: GStreamer's playbin, audio only. Its bus is polled, never waited on, so no
// call holds up a frame.
#include <gst/gst.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace platform {

struct MediaPlayerState {
  GstElement* playbin = nullptr;
  GstBus* bus = nullptr;
  MediaState state = MediaState::kPlaying;
  bool played = false;  // the next play rewinds first
};

namespace {

bool mediaStarted = false;

// playbin's flags: audio only, no video, no subtitles; its software volume only when the audio
// output below cannot be made. That volume leaks an element every time a player is set up (some
// kilobytes per piece in folder mode), so the volume is an element of our own audio output.
constexpr guint kPlayAudio = 1u << 1;
constexpr guint kPlaySoftVolume = 1u << 4;

// The audio output: our volume element before the output named by FLURRIX_AUDIO_SINK, or before
// the system's own. nullptr when it cannot be made.
GstElement* MakeAudioSink() {
  const char* description = std::getenv("FLURRIX_AUDIO_SINK");
  const std::string chain = std::string("volume ! audioconvert ! audioresample ! ") +
                            (description && *description ? description : "autoaudiosink");
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(chain.c_str(), TRUE, &error);
  if (error) {
    g_error_free(error);
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return nullptr;
  }
  return sink;
}

// Takes what the bus holds: the end of the piece or a fault.
void DrainBus(MediaPlayer player) {
  const auto wanted = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
  while (GstMessage* message = gst_bus_pop_filtered(player->bus, wanted)) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      player->state = MediaState::kFailed;
    } else if (player->state != MediaState::kFailed) {
      player->state = MediaState::kEnded;
    }
    gst_message_unref(message);
  }
}

}  // namespace

bool StartMedia() {
  if (!mediaStarted) {
    GError* error = nullptr;
    mediaStarted = gst_init_check(nullptr, nullptr, &error) == TRUE;
    if (error) g_error_free(error);
  }
  return mediaStarted;
}

MediaPlayer LoadMedia(const std::string& path) {
  // Caught here at once; playbin would report them only later, on its bus.
  if (!mediaStarted || FileSize(path) <= 0) return nullptr;
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  GstElement* playbin = uri ? gst_element_factory_make("playbin", nullptr) : nullptr;
  if (!playbin) {
    g_free(uri);
    return nullptr;
  }
  GstElement* sink = MakeAudioSink();
  g_object_set(playbin, "uri", uri, "flags", sink ? kPlayAudio : kPlayAudio | kPlaySoftVolume,
               nullptr);
  g_free(uri);
  if (sink) g_object_set(playbin, "audio-sink", sink, nullptr);

  auto* player = new MediaPlayerState{playbin, gst_element_get_bus(playbin)};
  // Prerolls in playbin's own threads; a file it cannot decode reports an error on the bus.
  if (gst_element_set_state(playbin, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    CloseMedia(player);
    return nullptr;
  }
  return player;
}

void SetMediaVolume(MediaPlayer player, int32_t volume) {
  if (!player) return;
  // playbin hands it to the volume element of our audio output.
  g_object_set(player->playbin, "volume", AttenuationToAmplitude(MediaAttenuation(volume)),
               nullptr);
}

void PlayMedia(MediaPlayer player) {
  if (!player) return;
  // An end already on the bus belongs to the run before this one.
  DrainBus(player);
  if (player->state == MediaState::kFailed) return;
  if (player->played) {
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT);
    if (!gst_element_seek_simple(player->playbin, GST_FORMAT_TIME, flags, 0)) {
      // Not seekable: start the stream over instead.
      gst_element_set_state(player->playbin, GST_STATE_READY);
    }
  }
  player->played = true;
  player->state = MediaState::kPlaying;
  gst_element_set_state(player->playbin, GST_STATE_PLAYING);
}

MediaState PollMedia(MediaPlayer player) {
  if (!player) return MediaState::kFailed;
  DrainBus(player);
  return player->state;
}

void CloseMedia(MediaPlayer player) {
  if (!player) return;
  gst_element_set_state(player->playbin, GST_STATE_NULL);
  gst_object_unref(player->bus);
  gst_object_unref(player->playbin);
  delete player;
}

}  // namespace platform
