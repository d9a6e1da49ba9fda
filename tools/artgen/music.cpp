#include "music.h"

#include <algorithm>
#include <cmath>

#include "noise.h"

namespace artgen {

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Score {
  int rate;
  double bar;  // seconds per bar of four beats
  int barsPerChord;
  std::vector<std::vector<int>> chords;  // MIDI notes, lowest first
  std::vector<int> scale;                // melody notes to choose from (MIDI)
  float melodyLevel, padLevel, windLevel;
  double barRest;  // chance that a bar of melody rests
  uint32_t seed;
};

double Frequency(int midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// The loop buffer: everything is added modulo its length, so tails wrap round to the start.
struct Loop {
  std::vector<float> left, right;
  void Add(size_t at, float l, float r) {
    size_t i = at % left.size();
    left[i] += l;
    right[i] += r;
  }
};

// One cycle of a warm, soft tone: a few harmonics falling away.
std::vector<float> PadTable() {
  std::vector<float> table(4096);
  for (size_t i = 0; i < table.size(); ++i) {
    double p = kTwoPi * i / table.size(), v = 0;
    for (int k = 1; k <= 7; ++k) v += std::sin(k * p) / std::pow(k, 1.7) * (k == 2 ? 0.7 : 1.0);
    table[i] = static_cast<float>(v * 0.6);
  }
  return table;
}

void PadChord(Loop& out, const Score& s, const std::vector<int>& notes, double start,
              double length) {
  static const std::vector<float> table = PadTable();
  const double attack = 2.5, release = 4.0;
  const size_t first = static_cast<size_t>(start * s.rate);
  const size_t count = static_cast<size_t>((length + release) * s.rate);
  // The chord's envelope, shared by its notes: a smooth rise, a hold, a long fade.
  std::vector<float> envelope(count);
  for (size_t i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / s.rate;
    double env = std::min(1.0, t / attack);
    env = env * env * (3 - 2 * env);
    if (t > length) env *= std::exp(-(t - length) / (release * 0.35));
    envelope[i] = static_cast<float>(env);
  }
  const float size = static_cast<float>(table.size());
  for (size_t n = 0; n < notes.size(); ++n) {
    double f = Frequency(notes[n]);
    // Two slightly detuned copies, one to each side, for a slow natural chorus.
    const double inc[2] = {f * (1.0 - 0.0017) / s.rate, f * (1.0 + 0.0017) / s.rate};
    double phase[2] = {0.13 * n, 0.57 * n};
    float level = s.padLevel / std::sqrt(static_cast<float>(notes.size())) * (n == 0 ? 1.2f : 1.0f);
    float pan = notes.size() > 1 ? static_cast<float>(n) / (notes.size() - 1) - 0.5f : 0.0f;
    // A slow swell so the held chord breathes: a rotating phasor instead of sin per sample.
    const double w = kTwoPi / (7.0 * s.rate);
    const double cr = std::cos(w), ci = std::sin(w);
    double re = std::cos(static_cast<double>(n)), im = std::sin(static_cast<double>(n));
    for (size_t i = 0; i < count; ++i) {
      float gain = envelope[i] * level * static_cast<float>(0.85 + 0.15 * im);
      float v[2];
      for (int c = 0; c < 2; ++c) {
        float x = static_cast<float>(phase[c]) * size;
        size_t i0 = static_cast<size_t>(x);
        float fr = x - static_cast<float>(i0);
        i0 %= table.size();
        size_t i1 = i0 + 1 == table.size() ? 0 : i0 + 1;
        v[c] = (table[i0] * (1.0f - fr) + table[i1] * fr) * gain;
        phase[c] += inc[c];
        if (phase[c] >= 1.0) phase[c] -= 1.0;
      }
      out.Add(first + i, v[0] * (0.75f - 0.4f * pan) + v[1] * 0.25f,
              v[1] * (0.75f + 0.4f * pan) + v[0] * 0.25f);
      double nr = re * cr - im * ci;
      im = re * ci + im * cr;
      re = nr;
    }
  }
}

// A music-box tine: a bright attack whose upper partials die first.
void MusicBoxNote(Loop& out, const Score& s, int midi, double start, float velocity, float pan) {
  const double f = Frequency(midi);
  struct Partial {
    double ratio, amp, decay;
  };
  const Partial partials[] = {
      {1.0, 1.0, 2.2}, {2.0, 0.28, 1.1}, {3.01, 0.10, 0.5}, {5.43, 0.07, 0.18}, {8.9, 0.03, 0.08}};
  size_t first = static_cast<size_t>(start * s.rate);
  size_t count = static_cast<size_t>(5.0 * s.rate);
  for (const Partial& p : partials) {
    double w = kTwoPi * f * p.ratio / s.rate;
    if (f * p.ratio > s.rate * 0.45) continue;
    // Rotate a phasor rather than call sin per sample.
    double cr = std::cos(w), ci = std::sin(w), re = 1.0, im = 0.0;
    double fall = std::exp(-1.0 / (p.decay * s.rate));
    double amp = p.amp * velocity * s.melodyLevel;
    for (size_t i = 0; i < count; ++i) {
      double attack = std::min(1.0, static_cast<double>(i) / (0.002 * s.rate));
      float v = static_cast<float>(im * amp * attack);
      out.Add(first + i, v * (0.5f - pan * 0.5f), v * (0.5f + pan * 0.5f));
      double nr = re * cr - im * ci;
      im = re * ci + im * cr;
      re = nr;
      amp *= fall;
    }
  }
}

// A calm melody: short phrases of scale notes, chord tones on the strong beats, some rests.
void Melody(Loop& out, const Score& s) {
  Rng rng(s.seed);
  const std::vector<std::vector<double>> rhythms = {
      {1.5, 0.5, 2.0}, {1.0, 1.0, 2.0}, {2.0, 1.0, 1.0}, {3.0, 1.0}, {1.0, 0.5, 0.5, 2.0}, {4.0}};
  int bars = static_cast<int>(s.chords.size()) * s.barsPerChord;
  size_t index = s.scale.size() / 2;
  for (int bar = 0; bar < bars; ++bar) {
    const std::vector<int>& chord = s.chords[static_cast<size_t>(bar / s.barsPerChord)];
    if (rng.Uniform() < s.barRest && bar % 4 != 0) continue;
    const std::vector<double>& rhythm = rhythms[rng.Next() % rhythms.size()];
    double beat = 0.0;
    for (size_t n = 0; n < rhythm.size(); ++n) {
      // Step through the scale, gently pulled back towards the middle of the range.
      int step = rng.Int(-2, 2);
      if (index < 3) step = std::abs(step);
      if (index + 3 > s.scale.size()) step = -std::abs(step);
      index = static_cast<size_t>(
          std::clamp<int>(static_cast<int>(index) + step, 0, static_cast<int>(s.scale.size()) - 1));
      if (n == 0) {
        // On the bar's first beat, land on the nearest note that belongs to the chord.
        for (int d = 0; d < 3; ++d) {
          bool fits = false;
          for (int note : chord) fits = fits || (s.scale[index] - note) % 12 == 0;
          if (fits) break;
          index = index + 1 < s.scale.size() ? index + 1 : index - 1;
        }
      }
      double start = (bar + beat / 4.0) * s.bar;
      float velocity = (n == 0 ? 0.9f : 0.7f) * rng.Range(0.85f, 1.0f);
      MusicBoxNote(out, s, s.scale[index], start, velocity, rng.Range(-0.3f, 0.3f));
      // A soft echo an octave up now and then, like a second comb on the drum.
      if (rng.Uniform() < 0.2f)
        MusicBoxNote(out, s, s.scale[index] + 12, start + s.bar / 8.0, velocity * 0.3f, 0.4f);
      beat += rhythm[n];
    }
  }
}

// Wind: noise through a slowly wandering band-pass, in gusts; the end is faded into the start.
void Wind(Loop& out, const Score& s) {
  const size_t n = out.left.size(), fade = static_cast<size_t>(3.0 * s.rate);
  std::vector<float> w[2] = {std::vector<float>(n + fade), std::vector<float>(n + fade)};
  for (int c = 0; c < 2; ++c) {
    Rng rng(s.seed + 100 + c);
    double low = 0, band = 0;
    for (size_t i = 0; i < n + fade; ++i) {
      double t = static_cast<double>(i) / s.rate;
      double cutoff = 420.0 + 260.0 * Noise1(static_cast<float>(t * 0.15 + c * 3.0), s.seed + 7);
      double fq = 2.0 * std::sin(3.14159265 * cutoff / s.rate);
      double x = rng.Uniform() * 2.0 - 1.0;
      low += fq * band;
      double high = x - low - 0.6 * band;
      band += fq * high;
      double gust = 0.55 + 0.45 * Noise1(static_cast<float>(t * 0.09 + c * 0.7), s.seed + 9);
      w[c][i] = static_cast<float>(band * gust * gust * s.windLevel);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    float a = 1.0f, b = 0.0f;
    if (i < fade) {
      float t = static_cast<float>(i) / fade;
      a = std::sin(1.5707963f * t);
      b = std::cos(1.5707963f * t);
    }
    out.left[i] += w[0][i] * a + (i < fade ? w[0][n + i] * b : 0.0f);
    out.right[i] += w[1][i] * a + (i < fade ? w[1][n + i] * b : 0.0f);
  }
}

// A small room-and-hall reverb (parallel combs into all-passes), one per channel.
class Reverb {
 public:
  Reverb(int rate, int spread) {
    for (int len : {1557, 1617, 1491, 1422, 1277, 1356, 1188, 1116})
      combs_.push_back(
          {std::vector<float>(static_cast<size_t>((len + spread) * rate / 44100)), 0, 0.0f});
    for (int len : {556, 441, 341, 225})
      passes_.push_back(
          {std::vector<float>(static_cast<size_t>((len + spread) * rate / 44100)), 0, 0.0f});
  }
  float Process(float x) {
    float sum = 0.0f;
    for (Line& c : combs_) {
      float y = c.buffer[c.at];
      c.state = y * 0.75f + c.state * 0.25f;  // damping
      c.buffer[c.at] = x + c.state * 0.86f;
      c.at = (c.at + 1) % c.buffer.size();
      sum += y;
    }
    for (Line& a : passes_) {
      float b = a.buffer[a.at];
      a.buffer[a.at] = sum + b * 0.5f;
      a.at = (a.at + 1) % a.buffer.size();
      sum = b - sum;
    }
    return sum * 0.04f;
  }

 private:
  struct Line {
    std::vector<float> buffer;
    size_t at;
    float state;
  };
  std::vector<Line> combs_, passes_;
};

Piece Render(const Score& s) {
  const double seconds = s.bar * s.barsPerChord * static_cast<double>(s.chords.size());
  const size_t n = static_cast<size_t>(seconds * s.rate);
  Loop dry{std::vector<float>(n), std::vector<float>(n)};
  for (size_t c = 0; c < s.chords.size(); ++c)
    PadChord(dry, s, s.chords[c], c * s.barsPerChord * s.bar, s.barsPerChord * s.bar);
  Melody(dry, s);
  Wind(dry, s);
  // Run the reverb over the loop twice and keep the second pass: its tail then wraps exactly.
  Reverb left(s.rate, 0), right(s.rate, 23);
  Piece piece;
  piece.rate = s.rate;
  piece.left.resize(n);
  piece.right.resize(n);
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < n; ++i) {
      float mono = (dry.left[i] + dry.right[i]) * 0.5f;
      float wl = left.Process(mono), wr = right.Process(mono);
      if (pass == 1) {
        piece.left[i] = dry.left[i] * 0.7f + wl * 0.6f;
        piece.right[i] = dry.right[i] * 0.7f + wr * 0.6f;
      }
    }
  }
  float peak = 1e-6f;
  for (size_t i = 0; i < n; ++i)
    peak = std::max({peak, std::fabs(piece.left[i]), std::fabs(piece.right[i])});
  float gain = 0.7f / peak;  // about -3 dB of headroom
  for (size_t i = 0; i < n; ++i) {
    piece.left[i] *= gain;
    piece.right[i] *= gain;
  }
  return piece;
}

}  // namespace

Piece ComposeForest() {
  Score s;
  s.rate = 44100;
  s.bar = 3.75;
  s.barsPerChord = 3;
  s.chords = {{38, 50, 57, 61, 64, 66}, {35, 47, 54, 62, 66, 69}, {31, 43, 50, 59, 62, 66},
              {33, 45, 52, 57, 62, 64}, {30, 42, 49, 57, 61, 64}, {35, 47, 54, 61, 62, 66},
              {28, 40, 47, 55, 62, 66}, {33, 45, 52, 55, 62, 64}};
  s.scale = {69, 71, 74, 76, 78, 81, 83, 86, 88};
  s.melodyLevel = 0.22f;
  s.padLevel = 0.16f;
  s.windLevel = 0.05f;
  s.barRest = 0.3;
  s.seed = 1225;
  return Render(s);
}

Piece ComposeSnowfall() {
  Score s;
  s.rate = 22050;
  s.bar = 3.4;
  s.barsPerChord = 3;
  s.chords = {
      {41, 53, 60, 64, 69}, {40, 52, 59, 62, 67}, {38, 50, 57, 60, 65}, {43, 55, 62, 65, 69}};
  s.scale = {72, 74, 76, 79, 81, 84, 86, 88};
  s.melodyLevel = 0.24f;
  s.padLevel = 0.13f;
  s.windLevel = 0.07f;
  s.barRest = 0.2;
  s.seed = 2512;
  return Render(s);
}

std::vector<int16_t> ToPcm16(const Piece& piece) {
  std::vector<int16_t> out(piece.left.size() * 2);
  Rng rng(77);
  for (size_t i = 0; i < piece.left.size(); ++i) {
    for (int c = 0; c < 2; ++c) {
      float v = (c == 0 ? piece.left[i] : piece.right[i]) * 32767.0f;
      v += rng.Uniform() - rng.Uniform();  // triangular dither
      out[i * 2 + c] = static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
    }
  }
  return out;
}

}  // namespace artgen
