#include "text/language_table.h"

#include <algorithm>

namespace text {
namespace {

const std::string kNotFound(kNoStringError);
constexpr char kJoin = '\x01';

std::string Upper(std::string_view s) {
  std::string upper(s);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

bool LanguageTable::Load() {
  return Load(BuiltInLanguageBlock());
}

bool LanguageTable::Load(const std::vector<LanguagePair>& block) {
  // First pass: count, so that the arrays are allocated once.
  size_t groupCount = 0;
  size_t entryCount = 0;
  for (const LanguagePair& pair : block) {
    std::string name = Upper(pair.name);
    if (name == "_END_") break;
    ++(name == "_GROUP_" ? groupCount : entryCount);
  }
  groups_.assign(groupCount + 1, Group{});
  keys_.assign(entryCount + 1, std::string());
  texts_.assign(entryCount + 1, std::string());
  lastGroup_ = 0;

  // Second pass: fill, keeping key and text joined so that one sort orders both.
  int32_t d = 0;
  size_t g = 0;
  for (const LanguagePair& pair : block) {
    std::string name = Upper(pair.name);
    if (name == "_END_") break;
    if (name == "_GROUP_") {
      groups_[g].lastEntry = d;
      ++g;
      groups_[g].name = Upper(pair.text);
      groups_[g].firstEntry = d + 1;
      groups_[g].firstLetter.fill(0);
      continue;
    }
    ++d;
    keys_[d] = name + kJoin + std::string(pair.text);
  }
  groups_[g].lastEntry = d;

  for (size_t i = 1; i < groups_.size(); ++i) {
    Group& group = groups_[i];
    if (group.firstEntry > group.lastEntry) continue;
    std::sort(keys_.begin() + group.firstEntry, keys_.begin() + group.lastEntry + 1);
    int previous = 0;
    for (int32_t e = group.firstEntry; e <= group.lastEntry; ++e) {
      size_t split = keys_[e].find(kJoin);
      texts_[e] = keys_[e].substr(split + 1);
      keys_[e].resize(split);
      int first = keys_[e].empty() ? 0 : static_cast<unsigned char>(keys_[e][0]);
      if (first != previous) {
        group.firstLetter[first] = e;
        previous = first;
      }
    }
  }
  return true;
}

const std::string& LanguageTable::Lookup(std::string_view groupName, std::string_view keyName) {
  std::string group = Upper(groupName);
  std::string key = Upper(keyName);
  if (lastGroup_ <= 0 || groups_[lastGroup_].name != group) {
    lastGroup_ = 0;
    for (size_t i = 1; i < groups_.size(); ++i) {
      if (groups_[i].name == group) {
        lastGroup_ = static_cast<int32_t>(i);
        break;
      }
    }
  }
  if (lastGroup_ == 0 || key.empty()) return kNotFound;
  const Group& found = groups_[lastGroup_];
  for (int32_t e = found.firstLetter[static_cast<unsigned char>(key[0])];
       e > 0 && e <= found.lastEntry; ++e) {
    if (key == keys_[e]) return texts_[e];
    if (key < keys_[e]) break;
  }
  return kNotFound;
}

LanguageTable& GlobalLanguageTable() {
  static LanguageTable table = [] {
    LanguageTable built;
    built.Load();
    return built;
  }();
  return table;
}

}  // namespace text
