// The language table's loader: the input's lines are "NAME<TAB>TEXT" pairs ("_GROUP_" and
// "_END_" are the markers). Any block indexes, every look-up answers, and a key that is the only
// one of its name in the first group of its name finds its own text.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/language_table.h"

namespace {

std::string Upper(std::string_view s) {
  std::string upper(s);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The built-in block's names never hold bytes below 2; the index joins key and text with 1, so
// such names would sort out of order.
bool Plain(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 2) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<text::LanguagePair> block;
  for (size_t start = 0; start < input.size();) {
    size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = input.substr(start, end - start);
    const size_t tab = line.find('\t');
    block.push_back({line.substr(0, tab),
                     tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1)});
    start = end + 1;
  }

  text::LanguageTable table;
  if (!table.Load(block)) std::abort();

  // (group, key) of each entry in the first group of its name: its text, or nothing if repeated.
  std::map<std::pair<std::string, std::string>, std::vector<std::string_view>> expected;
  std::map<std::string, int> groupSeen;
  std::string group;
  bool firstOfName = false;
  bool inGroup = false;
  bool plain = true;
  for (const text::LanguagePair& pair : block) {
    const std::string name = Upper(pair.name);
    if (name == "_END_") break;
    plain &= Plain(name);
    if (name == "_GROUP_") {
      group = Upper(pair.text);
      firstOfName = ++groupSeen[group] == 1;
      inGroup = true;
      continue;
    }
    if (inGroup && firstOfName) expected[{group, name}].push_back(pair.text);
  }
  for (const auto& [where, texts] : expected) {
    const std::string& found = table.Lookup(where.first, where.second);
    if (plain && texts.size() == 1 && !where.second.empty() && found != texts[0]) std::abort();
  }
  table.Lookup("", "");
  table.Lookup("\xff", "\x01");
  return 0;
}
