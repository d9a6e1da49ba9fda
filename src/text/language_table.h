// Every user-visible text, looked up by (group, key). The table is compiled in as one block of
// name/text pairs and indexed once: keys sorted per group with a first-letter index, and the
// last-used group cached, so a look-up is a short forward scan.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// One name/text pair of a source block. The names "_GROUP_" (its text names the group) and
// "_END_" are markers, compared in any case.
struct LanguagePair {
  std::string_view name;
  std::string_view text;
};

inline constexpr std::string_view kNoStringError = "%NO_STRING_ERROR%";

class LanguageTable {
 public:
  // Builds the index from a source block (the built-in block unless given).
  bool Load();
  bool Load(const std::vector<LanguagePair>& block);

  // Never fails: an unknown group or key gives "%NO_STRING_ERROR%".
  const std::string& Lookup(std::string_view group, std::string_view key);

 private:
  struct Group {
    std::string name;
    int32_t firstEntry = 0;
    int32_t lastEntry = -1;
    std::array<int32_t, 256> firstLetter{};
  };
  // Slot 0 of each array holds nothing, so that index 0 can mean "none".
  std::vector<Group> groups_;
  std::vector<std::string> keys_;
  std::vector<std::string> texts_;
  int32_t lastGroup_ = 0;
};

// The built-in English block.
const std::vector<LanguagePair>& BuiltInLanguageBlock();

// The process-wide table, indexed from the built-in block on first use.
LanguageTable& GlobalLanguageTable();
inline const std::string& Lookup(std::string_view group, std::string_view key) {
  return GlobalLanguageTable().Lookup(group, key);
}

}  // namespace text
