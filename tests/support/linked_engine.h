// The program's engine table filled with the engine linked into this program (flurrix_engine or
// flurrix_engine_static), so that tests and benchmarks drive the program's own scene code against
// the real engine.
#pragma once

#include "scene/engine_api.h"

namespace flurrixtest {

inline void UseLinkedEngine() {
  scene::EngineApi& api = scene::Rto();
#define FLURRIX_LINKED_ENTRY(name) api.name = &::RTO_##name;
  FLURRIX_ENGINE_ENTRIES(FLURRIX_LINKED_ENTRY)
#undef FLURRIX_LINKED_ENTRY
}

}  // namespace flurrixtest
