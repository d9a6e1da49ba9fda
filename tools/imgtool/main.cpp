// imgtool: the image layer on the command line.
//   imgtool info FILE
//   imgtool convert IN OUT.bmp|OUT.jpg [--quality N] [--depth N]
//   imgtool blur IN OUT.bmp RADIUS
//   imgtool resize IN OUT W H [--raw]
//   imgtool library add|remove|list CONFIGFOLDER [FILE...] [--depth N]
// A failure prints one line on stderr and exits with 1 (2 for a usage error).
#include <cctype>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "images/blur.h"
#include "images/codecs.h"
#include "images/custom_library.h"
#include "images/resize.h"
#include "platform/platform.h"

namespace {

using images::Image;

int Fail(const std::string& message, int code = 1) {
  std::fprintf(stderr, "imgtool: %s\n", message.c_str());
  return code;
}

constexpr const char* kUsage =
    "usage: imgtool info FILE | convert IN OUT.bmp|OUT.jpg [--quality N] [--depth N] | "
    "blur IN OUT.bmp RADIUS | resize IN OUT W H [--raw] | "
    "library add|remove|list CONFIGFOLDER [FILE...] [--depth N]";

// A whole decimal number, or false.
bool ReadNumber(const std::string& text, int32_t& out) {
  try {
    size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size() || value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
  } catch (...) {
    return false;
  }
}

std::string TagName(uint32_t tag) {
  std::string name;
  for (int shift = 0; shift < 32 && (tag >> shift) & 255; shift += 8) {
    name += static_cast<char>((tag >> shift) & 255);
  }
  return name.empty() ? "-" : name;
}

// The encoder tag for an output file name: .bmp or .jpg/.jpeg, any case.
uint32_t TagForPath(const std::string& path) {
  const size_t dot = path.rfind('.');
  std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "bmp") return images::kTagBmp;
  if (ext == "jpg" || ext == "jpeg") return images::kTagJpeg;
  return 0;
}

struct Options {
  std::vector<std::string> args;  // positional
  int32_t quality = 7;
  int32_t depth = images::kSourceDepth;
  bool raw = false;
};

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--quality" || arg == "--depth") {
      int32_t value = 0;
      if (i + 1 >= argc || !ReadNumber(argv[i + 1], value)) {
        error = arg + " needs a number";
        return false;
      }
      (arg == "--quality" ? options.quality : options.depth) = value;
      ++i;
    } else {
      options.args.push_back(arg);
    }
  }
  return true;
}

bool Load(const std::string& path, Image& image, std::string& error) {
  std::vector<uint8_t> data;
  if (!images::ReadWholeFile(path, data)) {
    error = "cannot read " + path;
    return false;
  }
  if (!images::DecodeImage(data.data(), data.size(), image)) {
    error = images::ProbeImage(data.data(), data.size()) ? "broken picture: " + path
                                                         : "no decoder takes " + path;
    return false;
  }
  return true;
}

int Save(const Image& image, const std::string& path, int32_t quality, int32_t depth) {
  const uint32_t tag = TagForPath(path);
  if (!tag) return Fail("output must end in .bmp or .jpg: " + path);
  // Without --depth the picture is written at its own depth (24 or 32).
  if (depth == images::kSourceDepth) depth = image.depth;
  if (!images::EncodeImageFile(image, path, tag, quality, depth)) {
    return Fail("cannot write " + path + " at depth " + std::to_string(depth));
  }
  return 0;
}

struct PrintingList : images::LibraryList {
  std::vector<std::string> names;
  void Append(const std::string& name) override { names.push_back(name); }
  void RemoveAt(int32_t position) override { names.erase(names.begin() + position); }
  void ShowPicture(int32_t) override {}
};

int Library(const Options& o) {
  if (o.args.size() < 3) return Fail(kUsage, 2);
  const std::string& action = o.args[1];
  std::string folder = o.args[2];
  if (folder.empty() || folder.back() != platform::kSep) folder += platform::kSep;
  if (!platform::FolderExists(folder)) return Fail("no such folder: " + folder);
  const int32_t depth = o.depth == images::kSourceDepth ? platform::QueryDesktop().depth : o.depth;
  images::CustomImageLibrary library(folder, depth);
  PrintingList list;
  int result = 0;
  if (action == "list") {
    library.FillList(list);
    for (const std::string& name : list.names) std::printf("%s\n", name.c_str());
  } else if (action == "add") {
    for (size_t i = 3; i < o.args.size(); ++i) {
      const std::string name = library.AddPicture(o.args[i], list);
      if (name.empty()) {
        result = Fail("cannot add " + o.args[i]);
      } else {
        std::printf("%s\n", name.c_str());
      }
    }
  } else if (action == "remove") {
    library.FillList(list);
    for (size_t i = 3; i < o.args.size(); ++i) {
      const std::string& name = o.args[i];
      int32_t position = -1;
      for (size_t p = 0; p < list.names.size(); ++p) {
        if (list.names[p] == name) position = static_cast<int32_t>(p);
      }
      if (position < 0 || !library.RemovePicture(position, name, list)) {
        result = Fail("cannot remove " + name);
      }
    }
  } else {
    return Fail(kUsage, 2);
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string error;
  if (!ParseOptions(argc, argv, o, error)) return Fail(error, 2);
  if (o.args.empty()) return Fail(kUsage, 2);
  const std::string& command = o.args[0];
  const size_t n = o.args.size();
  Image image;

  if (command == "info" && n == 2) {
    if (!Load(o.args[1], image, error)) return Fail(error);
    std::printf("%d %d %d %d %s\n", image.width, image.height, image.depth, image.sourceDepth,
                TagName(image.codec).c_str());
    return 0;
  }
  if (command == "convert" && n == 3) {
    if (!Load(o.args[1], image, error)) return Fail(error);
    return Save(image, o.args[2], o.quality, o.depth);
  }
  if (command == "blur" && n == 4) {
    int32_t radius = 0;
    if (!ReadNumber(o.args[3], radius)) return Fail("radius must be a number", 2);
    if (!Load(o.args[1], image, error)) return Fail(error);
    if (image.depth == 32) image = images::FlattenOntoWhite(image);
    if (images::Blur(image, radius) != images::kBlurDone) {
      return Fail("radius " + o.args[3] + " refused (1 to 100)");
    }
    return Save(image, o.args[2], o.quality, 24);
  }
  if (command == "resize" && n == 5) {
    int32_t width = 0, height = 0;
    if (!ReadNumber(o.args[3], width) || !ReadNumber(o.args[4], height)) {
      return Fail("width and height must be numbers", 2);
    }
    if (!Load(o.args[1], image, error)) return Fail(error);
    if (!images::ResizeImage(image, width, height,
                             o.raw ? images::kResizeRaw : images::kResizeSmooth)) {
      return Fail("cannot resize to " + o.args[3] + " x " + o.args[4]);
    }
    return Save(image, o.args[2], o.quality, o.depth);
  }
  if (command == "library") return Library(o);
  return Fail(kUsage, 2);
}
