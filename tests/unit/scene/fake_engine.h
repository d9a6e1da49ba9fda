// A recording stand-in for the engine library: it fills the scene's engine table with functions
// that keep a small model of what the scene made, for tests to read.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace scene::testing {

struct FakeEntity {
  int mesh = 0;
  int material = 0;
  float x = 0, y = 0, z = 0;
  float rx = 0, ry = 0, rz = 0;
  bool hidden = false;
};

struct FakeTexture {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;  // BGRA
  std::string file;                   // the file it was loaded from, if any
};

struct FakeMaterial {
  int texture = 0;  // the texture of its layer, 0 for none
  unsigned color = 0xFFFFFFFFu;
};

struct FakeEngine {
  std::map<int, FakeEntity> entities;
  std::map<int, FakeTexture> textures;
  std::map<int, FakeMaterial> materials;
  std::vector<std::string> calls;  // entry names, in call order
  std::set<std::string> loadable;  // files LoadTexture takes; any other fails
  int next = 100;                  // the number the next "any number" creation gets

  int Count(const std::string& call) const;
};

// Empties the model and points every entry the scene uses at it.
FakeEngine& InstallFakeEngine();

}  // namespace scene::testing
