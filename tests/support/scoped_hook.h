// Replaces a process-wide hook for one scope and puts the previous one back on any exit from it,
// a failed ASSERT_ included, so that no later test of the program meets a fake left behind:
//   flurrixtest::ScopedHook boxes(text::SetMessageBoxHandler, [](...) { ... });
// Every hook's setter returns the hook it replaced.
#pragma once

#include <type_traits>
#include <utility>

namespace flurrixtest {

template <class Hook>
class ScopedHook {
 public:
  using Setter = Hook (*)(Hook);
  ScopedHook(Setter set, std::type_identity_t<Hook> hook)
      : set_(set), previous_(set(std::move(hook))) {}
  ~ScopedHook() { set_(std::move(previous_)); }
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;

 private:
  Setter set_;
  Hook previous_;
};

template <class Hook>
ScopedHook(Hook (*)(Hook), std::type_identity_t<Hook>) -> ScopedHook<Hook>;

// Keeps a copy of a process-wide table (the engine's entries) and puts it back on any exit.
template <class Table>
class ScopedTable {
 public:
  explicit ScopedTable(Table& table) : table_(table), saved_(table) {}
  ~ScopedTable() { table_ = saved_; }
  ScopedTable(const ScopedTable&) = delete;
  ScopedTable& operator=(const ScopedTable&) = delete;

 private:
  Table& table_;
  Table saved_;
};

}  // namespace flurrixtest
