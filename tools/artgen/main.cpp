// artgen: paints Flurrix's pictures, composes its music and gathers its font, all from fixed
// seeds, so every build ships the same bytes.
//
//   artgen --data DIR --builtin DIR --fonts DIR --font-licence FILE
//          [--contact-sheet FILE.png] [--sheet-width PIXELS] [--only TEXT] [--jobs N]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "catalog.h"
#include "contact_sheet.h"
#include "write.h"

namespace {

struct Args {
  std::string data, builtin, contactSheet, only;
  artgen::Options options;
  int jobs = 2;
  int sheetWidth = 1952;
};

bool Parse(int argc, char** argv, Args& args) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string key = argv[i], value = argv[i + 1];
    if (key == "--data")
      args.data = value;
    else if (key == "--builtin")
      args.builtin = value;
    else if (key == "--fonts")
      args.options.fonts.folder = value;
    else if (key == "--font-licence")
      args.options.fontLicence = value;
    else if (key == "--contact-sheet")
      args.contactSheet = value;
    else if (key == "--only")
      args.only = value;
    else if (key == "--jobs")
      args.jobs = std::max(1, std::atoi(value.c_str()));
    else if (key == "--sheet-width")
      args.sheetWidth = std::max(400, std::atoi(value.c_str()));
    else
      return false;
  }
  return argc % 2 == 1 && !args.data.empty() && !args.builtin.empty() &&
         !args.options.fonts.folder.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  if (!Parse(argc, argv, args)) {
    std::fprintf(stderr,
                 "usage: artgen --data DIR --builtin DIR --fonts DIR --font-licence FILE "
                 "[--contact-sheet FILE.png] [--sheet-width PIXELS] [--only TEXT] [--jobs N]\n");
    return 2;
  }
  auto started = std::chrono::steady_clock::now();
  std::vector<artgen::Entry> entries;
  for (artgen::Entry& e : artgen::Catalog())
    if (args.only.empty() || e.file.find(args.only) != std::string::npos)
      entries.push_back(std::move(e));

  std::vector<artgen::Canvas> previews(entries.size());
  std::vector<char> ok(entries.size(), 0);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < entries.size(); i = next++) {
      std::filesystem::path path =
          std::filesystem::path(entries[i].builtin ? args.builtin : args.data) / entries[i].file;
      std::error_code ec;
      std::filesystem::create_directories(path.parent_path(), ec);
      ok[i] = entries[i].make(path.string(), args.options,
                              args.contactSheet.empty() ? nullptr : &previews[i]);
    }
  };
  std::vector<std::thread> workers;
  for (int j = 1; j < args.jobs; ++j) workers.emplace_back(work);
  work();
  for (std::thread& t : workers) t.join();

  int failures = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!ok[i]) {
      std::fprintf(stderr, "artgen: could not make %s\n", entries[i].file.c_str());
      ++failures;
    }
  }
  if (!args.contactSheet.empty()) {
    std::vector<std::pair<std::string, artgen::Canvas>> items;
    for (size_t i = 0; i < entries.size(); ++i)
      if (previews[i].Width() > 0) items.emplace_back(entries[i].file, std::move(previews[i]));
    artgen::Canvas sheet = artgen::ContactSheet(items, args.options.fonts, args.sheetWidth);
    // The full sheet is big and written every build: pack it lightly. Small ones pack well.
    int level = args.sheetWidth > 1200 ? 2 : 9;
    if (!artgen::WritePng(args.contactSheet, sheet.Width(), sheet.Height(), 4,
                          artgen::ToRgba8(sheet, 1), level)) {
      std::fprintf(stderr, "artgen: could not write %s\n", args.contactSheet.c_str());
      ++failures;
    }
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("artgen: %zu files in %.1f s%s\n", entries.size() - failures, seconds,
              failures ? ", with failures" : "");
  return failures ? 1 : 0;
}
