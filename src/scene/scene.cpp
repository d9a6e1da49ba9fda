#include "scene/scene.h"

#include <algorithm>

#include "scene/engine_api.h"
#include "scene/engine_objects.h"
#include "scene/sprites.h"

namespace scene {
namespace {

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

void BuildScene(SceneState& scene, const ScenePlan& plan, RunContext& context, int32_t screenWidth,
                int32_t screenHeight) {
  EngineApi& rto = Rto();
  SetSpriteFiltering(RTO_SPRITE_FILTER_LINEAR);

  const int64_t now = context.NowMs();
  scene.runStart = now;
  scene.clocks.lastRefresh = now;
  scene.calendar.lastCheck = now;
  BackgroundState& b = scene.background;
  b = BackgroundState{};
  b.lastChange = now;

  for (const std::string& folder : plan.resourceFolders) {
    rto.Add3DArchive(folder.c_str(), RTO_ARCHIVE_FOLDER);
  }
  rto.Parse3DScripts();
  SetUpBackground(b, plan.background);
  PrepareFlakeTexture(plan.flakes);
  const ForegroundPlan& fore = plan.foreground;
  if (fore.pictureShown) LoadSpriteFile(kForegroundSprite, fore.pictureFile, RTO_SPRITE_ALPHA);
  rto.AmbientColor(0xFFFFFF);

  scene.camera = MakeCamera(0, b.blankColour);
  scene.geometry = MakeGeometry(screenWidth, screenHeight);
  const Geometry& g = scene.geometry;
  const BackgroundPlanes planes = MakePlanes(0, g.planeWidth, g.planeHeight);
  scene.picturePlane = planes.picture;
  scene.coverPlane = planes.cover;

  BuildFlakeField(scene.field, plan.flakes, context.random);

  if (fore.textShown) BuildForegroundText(g, fore);
  if (plan.analogClock.shown) BuildAnalogClock(scene.clocks, g, plan.analogClock);
  if (plan.digitalClock.shown) BuildDigitalClock(scene.clocks, g, plan.digitalClock);
  if (plan.calendar.shown) {
    const WorldPoint p = AnchorToWorld(g, plan.calendar.x, plan.calendar.y, kCalendarMargins);
    BuildCalendar(scene.calendar, plan.calendar, context.LocalNow(), p.x, p.y, p.z);
  }
}

void AddMonitorView(SceneState& scene, const FlakePlan& flakes, RunContext& context, int32_t screen,
                    int32_t width, int32_t height) {
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
  BuildFlakeField(m.field, flakes, context.random, originX);
}

void StepSnow(SceneState& scene, RandomGenerator& random) {
  StepFlakeField(scene.field, random);
  for (MonitorView& m : scene.monitors) StepFlakeField(m.field, random);
}

void PlaceMoment(SceneState& scene, float fraction) {
  PlaceFlakeField(scene.field, fraction);
  for (MonitorView& m : scene.monitors) PlaceFlakeField(m.field, fraction);
  ShowFade(scene.background, fraction);
}

void UpdateSnow(SceneState& scene, RandomGenerator& random) {
  StepSnow(scene, random);
  PlaceFlakeField(scene.field, 1.0f);
  for (MonitorView& m : scene.monitors) PlaceFlakeField(m.field, 1.0f);
}

}  // namespace scene
