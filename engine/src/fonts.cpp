#include "fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <iterator>

#include "flurrix_engine.h"
#include "images/codecs.h"
#include "paths.h"

namespace engine {

namespace {

constexpr int kGlyphPixels = 64;  // em size the glyphs are rasterised at
constexpr int kPad = 8;           // room between glyphs, so that mipmaps do not bleed
constexpr int kAtlasWidth = 1024;
constexpr int kAtlasStartHeight = 256;
constexpr int kAtlasMaxHeight = 4096;

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Through the program's file layer: a script may name a pipe or a device, which must not be
// waited on.
bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& out) {
  const std::u8string name = path.u8string();
  return images::ReadWholeFile(std::string(name.begin(), name.end()), out);
}

// Decodes UTF-8; malformed bytes become U+FFFD one at a time.
std::vector<uint32_t> DecodeUtf8(const std::string& text) {
  std::vector<uint32_t> out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = s[i];
    int extra = b < 0x80             ? 0
                : (b & 0xE0) == 0xC0 ? 1
                : (b & 0xF0) == 0xE0 ? 2
                : (b & 0xF8) == 0xF0 ? 3
                                     : -1;
    uint32_t cp = extra == 0   ? b
                  : extra == 1 ? (b & 0x1Fu)
                  : extra == 2 ? (b & 0x0Fu)
                               : (b & 0x07u);
    bool ok = extra >= 0 && i + extra < n;
    for (int k = 1; ok && k <= extra; ++k) {
      ok = (s[i + k] & 0xC0) == 0x80;
      cp = (cp << 6) | (s[i + k] & 0x3Fu);
    }
    const uint32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (ok && (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    out.push_back(ok ? cp : 0xFFFD);
    i += ok ? extra + 1 : 1;
  }
  return out;
}

}  // namespace

std::vector<FontDef> ParseFontScript(const std::string& text) {
  std::vector<FontDef> defs;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    const size_t gap = line.find_first_of(" \t");
    const std::string word = Lower(line.substr(0, gap));
    const std::string value = gap == std::string::npos ? std::string() : Trim(line.substr(gap));
    if (word == "font" && !value.empty()) {
      defs.push_back({value, {}});
    } else if (word == "source" && !defs.empty() && defs.back().source.empty()) {
      defs.back().source = value;
    }
  }
  std::erase_if(defs, [](const FontDef& d) { return d.source.empty(); });
  return defs;
}

Fonts::~Fonts() {
  FreeFaces();
  if (library_ != nullptr) FT_Done_FreeType(library_);
}

int Fonts::Scan(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const std::filesystem::path dir = PathFromUtf8(folder);
    std::vector<std::filesystem::path> scripts;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      if (Lower(Utf8FromPath(it->path().extension())) == ".fontdef" && IsFile(it->path())) {
        scripts.push_back(it->path());
      }
    }
    std::sort(scripts.begin(), scripts.end());
    for (const auto& script : scripts) {
      std::vector<uint8_t> bytes;
      if (!ReadFile(script, bytes)) continue;
      for (const FontDef& def : ParseFontScript(std::string(bytes.begin(), bytes.end()))) {
        const std::string key = Lower(def.name);
        const bool known = std::any_of(fonts_.begin(), fonts_.end(),
                                       [&](const Font& f) { return Lower(f.name) == key; });
        if (known) continue;
        Font f;
        f.name = def.name;
        f.path = Utf8FromPath(dir / PathFromUtf8(def.source));
        fonts_.push_back(std::move(f));
      }
    }
  }
  return Count();
}

int Fonts::Find(const std::string& name) {
  const std::string key = Lower(name);
  for (int i = 0; i < Count(); ++i) {
    Font& f = fonts_[i];
    if (Lower(f.name) != key) continue;
    if (!f.tried) {
      f.tried = true;
      if (!LoadFace(f)) return -1;
    }
    return f.face != nullptr ? i : -1;
  }
  return -1;
}

bool Fonts::LoadFace(Font& f) {
  if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) {
    library_ = nullptr;
    return false;
  }
  if (!ReadFile(PathFromUtf8(f.path), f.fileData) || f.fileData.empty()) return false;
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(library_, f.fileData.data(), static_cast<FT_Long>(f.fileData.size()), 0,
                         &face) != 0) {
    return false;
  }
  const float upem = static_cast<float>(face->units_per_EM);
  if (!FT_IS_SCALABLE(face) || upem <= 0 || FT_Set_Pixel_Sizes(face, 0, kGlyphPixels) != 0 ||
      face->ascender - face->descender <= 0) {
    FT_Done_Face(face);
    return false;
  }
  f.face = face;
  f.ascent = static_cast<float>(face->ascender) / upem;
  f.descent = static_cast<float>(-face->descender) / upem;
  f.lineAdvance = static_cast<float>(face->height) / upem;
  f.atlasWidth = kAtlasWidth;
  f.atlasHeight = kAtlasStartHeight;
  f.atlas.assign(static_cast<size_t>(f.atlasWidth) * f.atlasHeight, 0);
  f.penX = f.penY = kPad;
  return true;
}

const Glyph& Fonts::GlyphOf(Font& f, uint32_t codepoint) {
  auto found = f.glyphs.find(codepoint);
  if (found != f.glyphs.end()) return found->second;
  Glyph& g = f.glyphs[codepoint];
  if (FT_Load_Char(f.face, codepoint, FT_LOAD_RENDER) != 0) return g;
  const FT_GlyphSlot slot = f.face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  g.advance = static_cast<float>(slot->advance.x) / 64.0f / kGlyphPixels;
  const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
  if (w == 0 || h == 0 || bm.pixel_mode != FT_PIXEL_MODE_GRAY || w + 2 * kPad > f.atlasWidth) {
    return g;
  }
  if (f.penX + w + kPad > f.atlasWidth) {
    f.penX = kPad;
    f.penY += f.rowHeight + kPad;
    f.rowHeight = 0;
  }
  while (f.penY + h + kPad > f.atlasHeight) {
    if (f.atlasHeight >= kAtlasMaxHeight) return g;  // full: the glyph only advances the pen
    f.atlasHeight *= 2;
    f.atlas.resize(static_cast<size_t>(f.atlasWidth) * f.atlasHeight, 0);
  }
  for (int row = 0; row < h; ++row) {
    const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
    std::copy_n(src, w, &f.atlas[static_cast<size_t>(f.penY + row) * f.atlasWidth + f.penX]);
  }
  g.drawn = true;
  g.atlasX = f.penX;
  g.atlasY = f.penY;
  g.atlasW = w;
  g.atlasH = h;
  g.x0 = static_cast<float>(slot->bitmap_left) / kGlyphPixels;
  g.x1 = static_cast<float>(slot->bitmap_left + w) / kGlyphPixels;
  g.y1 = static_cast<float>(slot->bitmap_top) / kGlyphPixels;
  g.y0 = static_cast<float>(slot->bitmap_top - h) / kGlyphPixels;
  f.penX += w + kPad;
  f.rowHeight = std::max(f.rowHeight, h);
  f.atlasDirty = true;
  return g;
}

bool Fonts::Layout(int font, const std::string& caption, int alignment, std::vector<float>& out) {
  if (alignment < RTO_ALIGN_CENTRE || alignment > RTO_ALIGN_BASELINE_RIGHT) return false;
  out.clear();
  Font& f = fonts_[font];
  const float upem = static_cast<float>(f.face->units_per_EM);
  const bool kerning = FT_HAS_KERNING(f.face);
  float penX = 0, baseline = 0;
  FT_UInt previous = 0;
  size_t lineStart = 0;
  auto finishLine = [&] {
    float shift = 0.0f;  // left end at the position
    if (alignment == RTO_ALIGN_CENTRE || alignment == RTO_ALIGN_BASELINE_CENTRE) {
      shift = -0.5f * penX;
    }
    if (alignment == RTO_ALIGN_BASELINE_RIGHT) shift = -penX;
    for (size_t i = lineStart; i < out.size(); i += 4) out[i] += shift;
    lineStart = out.size();
  };
  for (uint32_t cp : DecodeUtf8(caption)) {
    if (cp == '\n') {
      finishLine();
      penX = 0;
      baseline -= f.lineAdvance;
      previous = 0;
      continue;
    }
    const FT_UInt index = FT_Get_Char_Index(f.face, cp);
    if (kerning && previous != 0 && index != 0) {
      FT_Vector delta;
      if (FT_Get_Kerning(f.face, previous, index, FT_KERNING_UNSCALED, &delta) == 0) {
        penX += static_cast<float>(delta.x) / upem;
      }
    }
    const Glyph& g = GlyphOf(f, cp);
    if (g.drawn) {
      const float l = penX + g.x0, r = penX + g.x1, b = baseline + g.y0, t = baseline + g.y1;
      const float u0 = static_cast<float>(g.atlasX), u1 = static_cast<float>(g.atlasX + g.atlasW);
      const float vt = static_cast<float>(g.atlasY), vb = static_cast<float>(g.atlasY + g.atlasH);
      const float quad[] = {l, b, u0, vb, r, b, u1, vb, r, t, u1, vt,
                            l, b, u0, vb, r, t, u1, vt, l, t, u0, vt};
      out.insert(out.end(), std::begin(quad), std::end(quad));
    }
    penX += g.advance;
    previous = index;
  }
  finishLine();
  const float lift =
      alignment == RTO_ALIGN_CENTRE ? -0.5f * (f.ascent + baseline - f.descent) : 0.0f;
  const float unit = 1.0f / (f.ascent + f.descent);  // em to line heights
  for (size_t i = 0; i < out.size(); i += 4) {
    out[i] *= unit;
    out[i + 1] = (out[i + 1] + lift) * unit;
  }
  return true;
}

void Fonts::ReleaseGl(std::vector<unsigned>& dead) {
  for (Font& f : fonts_) {
    if (f.gl != 0) dead.push_back(f.gl);
    f.gl = 0;
    f.glHeight = 0;
    f.atlasDirty = f.face != nullptr;
  }
}

void Fonts::FreeFaces() {
  for (Font& f : fonts_) {
    if (f.face != nullptr) FT_Done_Face(f.face);
    f.face = nullptr;
  }
}

void Fonts::Clear() {
  FreeFaces();
  fonts_.clear();
}

}  // namespace engine
