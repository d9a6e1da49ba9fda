#include "scene/scene.h"

#include <algorithm>
#include <limits>

#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/sprites.h"
#include "settings/modes.h"

namespace scene {
namespace {

template <class T>
T Saturated(int64_t value) {
  return static_cast<T>(
      std::clamp<int64_t>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

}  // namespace

void ConvertToWorkingUnits(SceneState& scene, settings::Settings& s) {
  scene.stored = {s.exitontimer, s.exitonsleep, s.pictime, s.musicvol, s.wind};
  s.exitontimer = Saturated<int32_t>(int64_t{s.exitontimer} * 60 * 1000);
  s.exitonsleep = Saturated<int32_t>(int64_t{s.exitonsleep} * 60 * 1000);
  s.pictime = Saturated<int32_t>(int64_t{s.pictime} * 1000);
  s.musicvol = Saturated<int8_t>(int64_t{s.musicvol} * 10);
}

void RestoreStoredUnits(const SceneState& scene, settings::Settings& s) {
  s.exitontimer = scene.stored.exitontimer;
  s.exitonsleep = scene.stored.exitonsleep;
  s.pictime = scene.stored.pictime;
  s.musicvol = scene.stored.musicvol;
  s.wind = scene.stored.wind;
}

void BuildScene(SceneState& scene, settings::Settings& s, RunContext& context, int32_t screenWidth,
                int32_t screenHeight) {
  EngineApi& rto = Rto();
  SetSpriteFiltering(RTO_SPRITE_FILTER_LINEAR);

  const int64_t now = context.NowMs();
  scene.runStart = now;
  scene.clocks.lastRefresh = now;
  scene.calendar.lastCheck = now;
  ConvertToWorkingUnits(scene, s);
  BackgroundState& b = scene.background;
  b = BackgroundState{};
  b.lastChange = now;
  b.pictureTime = s.pictime;

  SetUpBackground(b, s);
  rto.AmbientColor(0xFFFFFF);

  scene.camera = rto.CreateCamera(-1, 0, 0, 100, 100);
  rto.MoveCamera2(scene.camera, 0, 0, kCameraDistance, RTO_ABSOLUTE);
  rto.CameraLookAt(scene.camera, 0, 0, 0);
  rto.CameraBackColor(scene.camera, b.blankColour);
  rto.CameraFOV(scene.camera, kCameraFieldOfView);

  scene.geometry = MakeGeometry(screenWidth, screenHeight);
  const Geometry& g = scene.geometry;
  const int pictureMesh = rto.CreatePlane(-1, g.planeWidth, g.planeHeight, 1, 1, 1.0f, 1.0f);
  scene.picturePlane =
      rto.CreateEntity3(-1, rto.MeshID(pictureMesh), rto.MaterialID(kPictureMaterial), 0, 0, 0);
  rto.RotateEntity(scene.picturePlane, 90, 0, 0);
  rto.SetRenderQueue(scene.picturePlane, 0);
  const int coverMesh = rto.CreatePlane(-1, g.planeWidth, g.planeHeight, 1, 1, 1.0f, 1.0f);
  scene.coverPlane =
      rto.CreateEntity3(-1, rto.MeshID(coverMesh), rto.MaterialID(kCoverMaterial), 0, 0, 0.5f);
  rto.RotateEntity(scene.coverPlane, 90, 0, 0);
  rto.SetRenderQueue(scene.coverPlane, 99);

  if (s.wind == settings::kWindRandom) {
    s.wind =
        static_cast<int8_t>(context.random.Draw(settings::kWindNone, settings::kWindRightToLeft));
  }
  scene.field.windFactor = s.wind == settings::kWindNone ? 4 : 10;
  BuildFlakeField(scene.field, s, context.random);

  if (s.foregroundtxt) BuildForegroundText(g, s);
  if (s.aclock) BuildAnalogClock(scene.clocks, g, s);
  if (s.dclock) BuildDigitalClock(g, s);
  if (s.calendar) {
    const WorldPoint p = AnchorToWorld(g, s.calendarx, s.calendary, kCalendarMargins);
    BuildCalendar(scene.calendar, s, context.LocalNow(), p.x, p.y, p.z);
  }
}

}  // namespace scene
