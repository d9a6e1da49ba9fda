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

// A camera at the distance the planes are made for, looking at (originX, 0, 0).
int32_t MakeCamera(float originX, int32_t background) {
  EngineApi& rto = Rto();
  const int32_t camera = rto.CreateCamera(-1, 0, 0, 100, 100);
  rto.MoveCamera2(camera, originX, 0, kCameraDistance, RTO_ABSOLUTE);
  rto.CameraLookAt(camera, originX, 0, 0);
  rto.CameraBackColor(camera, background);
  rto.CameraFOV(camera, kCameraFieldOfView);
  return camera;
}

// The picture plane at (originX, 0, 0), drawn first, and the cover in front of it, drawn last.
BackgroundPlanes MakePlanes(float originX, float width, float height) {
  EngineApi& rto = Rto();
  BackgroundPlanes planes;
  const int pictureMesh = rto.CreatePlane(-1, width, height, 1, 1, 1.0f, 1.0f);
  planes.picture = rto.CreateEntity3(-1, rto.MeshID(pictureMesh), rto.MaterialID(kPictureMaterial),
                                     originX, 0, 0);
  rto.RotateEntity(planes.picture, 90, 0, 0);
  rto.SetRenderQueue(planes.picture, 0);
  const int coverMesh = rto.CreatePlane(-1, width, height, 1, 1, 1.0f, 1.0f);
  planes.cover = rto.CreateEntity3(-1, rto.MeshID(coverMesh), rto.MaterialID(kCoverMaterial),
                                   originX, 0, 0.5f);
  rto.RotateEntity(planes.cover, 90, 0, 0);
  rto.SetRenderQueue(planes.cover, 99);
  return planes;
}

}  // namespace

std::vector<BackgroundPlanes> SceneState::Planes() const {
  std::vector<BackgroundPlanes> planes{{picturePlane, coverPlane}};
  for (const MonitorView& m : monitors) planes.push_back(m.planes);
  return planes;
}

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

  scene.camera = MakeCamera(0, b.blankColour);
  scene.geometry = MakeGeometry(screenWidth, screenHeight);
  const Geometry& g = scene.geometry;
  const BackgroundPlanes planes = MakePlanes(0, g.planeWidth, g.planeHeight);
  scene.picturePlane = planes.picture;
  scene.coverPlane = planes.cover;

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

void AddMonitorView(SceneState& scene, const settings::Settings& s, RunContext& context,
                    int32_t screen, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  MonitorView& m = scene.monitors.emplace_back();
  m.screen = screen;
  const float originX = kIslandSpacing * static_cast<float>(screen);
  m.camera = MakeCamera(originX, scene.background.blankColour);
  Rto().CameraScreen(m.camera, screen);
  // The picture keeps the primary screen's shape and covers this one: a narrower monitor sees
  // its middle, a wider one a band across it.
  const Geometry own = MakeGeometry(width, height);
  const float shape = scene.geometry.planeWidth / scene.geometry.planeHeight;
  const float planeWidth = std::max(own.planeWidth, own.planeHeight * shape);
  m.planes = MakePlanes(originX, planeWidth, planeWidth / shape);
  m.field.windFactor = scene.field.windFactor;
  m.field.originX = originX;
  BuildFlakeField(m.field, s, context.random);
}

void UpdateSnow(SceneState& scene, const settings::Settings& s, RandomGenerator& random) {
  UpdateFlakeField(scene.field, s, random);
  for (MonitorView& m : scene.monitors) UpdateFlakeField(m.field, s, random);
}

}  // namespace scene
