// Sound effects, synthesized: clicks, a pop, a tick, fanfares, a chime, a
// start jingle and a mocking laugh. Mono, 22050 Hz.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

constexpr int kRate = 22050;
constexpr double kPi = std::numbers::pi;

class Track {
 public:
  explicit Track(double seconds) : samples_(static_cast<size_t>(seconds * kRate), 0.0) {}
  std::vector<double>& samples() { return samples_; }
  void Add(size_t i, double v) {
    if (i < samples_.size()) samples_[i] += v;
  }
  size_t size() const { return samples_.size(); }

  // Scales the whole track so that its peak is `peak`, with a short fade at
  // each end so that it never starts or stops on a click.
  std::vector<float> Finish(double peak) const {
    double max = 1e-9;
    for (double s : samples_) max = std::max(max, std::abs(s));
    std::vector<float> out(samples_.size());
    const size_t fade_in = std::min<size_t>(samples_.size() / 8, kRate / 2000);
    const size_t fade_out = std::min<size_t>(samples_.size() / 4, kRate / 100);
    for (size_t i = 0; i < samples_.size(); ++i) {
      double gain = peak / max;
      if (i < fade_in) gain *= static_cast<double>(i) / fade_in;
      if (i + fade_out >= samples_.size()) {
        gain *= static_cast<double>(samples_.size() - i - 1) / fade_out;
      }
      out[i] = static_cast<float>(samples_[i] * gain);
    }
    return out;
  }

 private:
  std::vector<double> samples_;
};

double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A tone of additive partials: `harmonics` gives the relative amplitude of
// partial k + 1 (k from 0); `ratio` may stretch the partials (bells).
struct Voice {
  std::vector<double> harmonics;
  double attack = 0.005;
  double decay = 0.4;    // exponential time constant
  double sustain = 0.0;  // level held until release
  double release = 0.05;
  double vibrato = 0.0;           // depth in semitones
  double inharmonic = 0.0;        // stretch of upper partials
  double brightness_decay = 0.0;  // upper partials fade faster
};

void AddNote(Track& track, double start, double length, double hz, double gain, const Voice& v) {
  const size_t begin = static_cast<size_t>(start * kRate);
  const size_t count = static_cast<size_t>((length + v.release) * kRate);
  std::vector<double> phase(v.harmonics.size(), 0.0);
  for (size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / kRate;
    double env = t < v.attack ? t / v.attack
                              : v.sustain + (1.0 - v.sustain) * std::exp(-(t - v.attack) / v.decay);
    if (t > length) env *= std::max(0.0, 1.0 - (t - length) / v.release);
    const double wobble = v.vibrato > 0 ? std::pow(2.0, v.vibrato * std::sin(2 * kPi * 5.5 * t) *
                                                            std::min(1.0, t / 0.25) / 12.0)
                                        : 1.0;
    double s = 0.0;
    for (size_t k = 0; k < v.harmonics.size(); ++k) {
      const double partial = (k + 1) * (1.0 + v.inharmonic * k * k);
      const double f = hz * partial * wobble;
      if (f > kRate * 0.45) continue;
      phase[k] += 2 * kPi * f / kRate;
      const double fade = v.brightness_decay > 0 ? std::exp(-t * v.brightness_decay * k) : 1.0;
      s += v.harmonics[k] * fade * std::sin(phase[k]);
    }
    track.Add(begin + n, s * env * gain);
  }
}

// Noise through a resonant band-pass (state-variable filter).
void AddNoiseBurst(Track& track, double start, double length, double centre_hz, double q,
                   double gain, double decay, Rng& rng) {
  const size_t begin = static_cast<size_t>(start * kRate);
  const size_t count = static_cast<size_t>(length * kRate);
  const double f = 2.0 * std::sin(kPi * centre_hz / kRate);
  double low = 0.0;
  double band = 0.0;
  for (size_t n = 0; n < count; ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double input = rng.Range(-1.0, 1.0);
    low += f * band;
    const double high = input - low - band / q;
    band += f * high;
    track.Add(begin + n, band * gain * std::exp(-t / decay));
  }
}

Voice Brass() {
  Voice v;
  v.harmonics = {1.0, 0.75, 0.55, 0.42, 0.3, 0.2, 0.14, 0.09, 0.06};
  v.attack = 0.025;
  v.decay = 0.5;
  v.sustain = 0.55;
  v.release = 0.08;
  v.vibrato = 0.12;
  v.brightness_decay = 0.4;
  return v;
}

Voice Bell() {
  Voice v;
  v.harmonics = {1.0, 0.6, 0.35, 0.25, 0.15, 0.1};
  v.attack = 0.002;
  v.decay = 0.55;
  v.release = 0.3;
  v.inharmonic = 0.012;
  v.brightness_decay = 1.6;
  return v;
}

Voice Marimba() {
  Voice v;
  v.harmonics = {1.0, 0.0, 0.0, 0.35, 0.0, 0.0, 0.0, 0.0, 0.0, 0.12};
  v.attack = 0.002;
  v.decay = 0.22;
  v.release = 0.05;
  v.brightness_decay = 3.0;
  return v;
}

std::vector<float> Click() {
  Track track(0.07);
  Rng rng(0xC11C4ULL);
  Voice tock;
  tock.harmonics = {1.0, 0.3, 0.12};
  tock.attack = 0.0008;
  tock.decay = 0.014;
  tock.release = 0.01;
  AddNote(track, 0.0, 0.05, 1250, 0.8, tock);
  AddNoiseBurst(track, 0.0, 0.02, 3200, 2.0, 0.35, 0.003, rng);
  return track.Finish(0.55);
}

std::vector<float> Pop() {
  Track track(0.42);
  // The pop: a bubble whose pitch leaps up as it bursts.
  double phase = 0.0;
  for (size_t n = 0; n < static_cast<size_t>(0.09 * kRate); ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double hz = 320.0 + 1100.0 * (1.0 - std::exp(-t / 0.02));
    phase += 2 * kPi * hz / kRate;
    const double env = std::min(1.0, t / 0.002) * std::exp(-t / 0.03);
    track.Add(n, std::sin(phase) * env);
  }
  // A little sparkle after it.
  Voice chime = Bell();
  chime.decay = 0.16;
  AddNote(track, 0.045, 0.2, NoteHz(88), 0.28, chime);
  AddNote(track, 0.09, 0.2, NoteHz(95), 0.22, chime);
  return track.Finish(0.6);
}

std::vector<float> Tick() {
  Track track(0.035);
  Rng rng(0x71C4ULL);
  AddNoiseBurst(track, 0.0, 0.03, 2600, 4.0, 1.0, 0.004, rng);
  Voice tick;
  tick.harmonics = {1.0};
  tick.attack = 0.0005;
  tick.decay = 0.005;
  tick.release = 0.005;
  AddNote(track, 0.0, 0.02, 1800, 0.25, tick);
  return track.Finish(0.22);
}

std::vector<float> Tada() {
  Track track(1.45);
  const Voice brass = Brass();
  // G4 C5 E5 leading to a held C major chord.
  AddNote(track, 0.00, 0.11, NoteHz(67), 0.5, brass);
  AddNote(track, 0.13, 0.11, NoteHz(72), 0.5, brass);
  AddNote(track, 0.26, 0.11, NoteHz(76), 0.5, brass);
  for (int midi : {72, 76, 79, 84}) AddNote(track, 0.40, 0.85, NoteHz(midi), 0.35, brass);
  Voice bell = Bell();
  AddNote(track, 0.40, 0.5, NoteHz(96), 0.12, bell);
  return track.Finish(0.75);
}

std::vector<float> Chime() {
  Track track(1.9);
  const Voice bell = Bell();
  // E major arpeggio rung on bells, then the chord together.
  const int notes[] = {76, 80, 83, 88};
  for (int i = 0; i < 4; ++i) AddNote(track, i * 0.14, 0.6, NoteHz(notes[i]), 0.45, bell);
  Voice long_bell = bell;
  long_bell.decay = 0.8;
  for (int midi : {64, 76, 80, 83}) AddNote(track, 0.62, 1.0, NoteHz(midi), 0.3, long_bell);
  return track.Finish(0.72);
}

std::vector<float> Fanfare() {
  Track track(2.9);
  Rng rng(0xE4DULL);
  const Voice brass = Brass();
  // Triplet call, a rising answer, then the big chord with a drum roll.
  const double beat = 0.12;
  for (int i = 0; i < 3; ++i) AddNote(track, i * beat, beat * 0.8, NoteHz(67), 0.45, brass);
  AddNote(track, 3 * beat, 0.32, NoteHz(72), 0.5, brass);
  AddNote(track, 3 * beat + 0.36, 0.12, NoteHz(67), 0.45, brass);
  AddNote(track, 3 * beat + 0.50, 0.12, NoteHz(72), 0.45, brass);
  AddNote(track, 3 * beat + 0.64, 0.12, NoteHz(76), 0.45, brass);
  const double chord = 3 * beat + 0.78;
  for (int midi : {60, 72, 76, 79, 84}) AddNote(track, chord, 1.45, NoteHz(midi), 0.3, brass);
  for (int i = 0; i < 14; ++i) {
    AddNoiseBurst(track, chord - 0.3 + i * 0.022, 0.06, 180, 1.5, 0.35 + i * 0.02, 0.03, rng);
  }
  AddNoiseBurst(track, chord, 0.6, 120, 1.2, 0.9, 0.2, rng);
  Voice bell = Bell();
  for (int i = 0; i < 5; ++i)
    AddNote(track, chord + 0.1 + i * 0.09, 0.3, NoteHz(96 + i * 2), 0.08, bell);
  return track.Finish(0.8);
}

std::vector<float> Jingle() {
  Track track(1.5);
  const Voice marimba = Marimba();
  const int notes[] = {72, 76, 79, 84, 88, 91};
  for (int i = 0; i < 6; ++i) AddNote(track, i * 0.085, 0.25, NoteHz(notes[i]), 0.5, marimba);
  Voice bell = Bell();
  bell.decay = 0.7;
  for (int midi : {84, 88, 91, 96}) AddNote(track, 0.56, 0.8, NoteHz(midi), 0.22, bell);
  return track.Finish(0.7);
}

// A cartoon laugh: five "ha" syllables, each a breathy "h" and a sung "a"
// whose pitch falls, made by shaping a harmonic source with the formants of
// the vowel.
std::vector<float> Laugh() {
  Track track(1.45);
  Rng rng(0x4A4AULL);
  const double formants[3][3] = {{760, 90, 1.0}, {1250, 120, 0.55}, {2550, 180, 0.25}};
  auto vowel_gain = [&](double f) {
    double g = 0.0;
    for (const auto& fm : formants) {
      const double d = (f - fm[0]) / fm[1];
      g += fm[2] / (1.0 + d * d);
    }
    return g;
  };
  for (int s = 0; s < 5; ++s) {
    const double start = 0.04 + s * 0.25;
    const double length = 0.17;
    const double pitch = 300.0 - s * 22.0;
    // "h": breath through the vowel's first formants.
    AddNoiseBurst(track, start, 0.05, 1100, 1.5, 0.22, 0.03, rng);
    // "a".
    std::vector<double> phase(24, 0.0);
    const size_t begin = static_cast<size_t>((start + 0.03) * kRate);
    const size_t count = static_cast<size_t>(length * kRate);
    for (size_t n = 0; n < count; ++n) {
      const double t = static_cast<double>(n) / kRate;
      const double f0 =
          pitch * (1.0 - 0.18 * t / length) * (1.0 + 0.01 * std::sin(2 * kPi * 7 * t));
      const double env = std::min(1.0, t / 0.015) * std::min(1.0, (length - t) / 0.04);
      double v = 0.0;
      for (size_t k = 0; k < phase.size(); ++k) {
        const double f = f0 * (k + 1);
        if (f > 5000) break;
        phase[k] += 2 * kPi * f / kRate;
        v += vowel_gain(f) / (k + 1) * std::sin(phase[k]);
      }
      track.Add(begin + n, v * env);
    }
  }
  return track.Finish(0.7);
}

}  // namespace

void MakeSounds(AssetWriter& writer) {
  writer.SaveWav("SClick1", Click(), kRate);
  writer.SaveWav("SClick2", Pop(), kRate);
  writer.SaveWav("STimer", Tick(), kRate);
  writer.SaveWav("STada", Tada(), kRate);
  writer.SaveWav("SSton", Chime(), kRate);
  writer.SaveWav("SEnd", Fanfare(), kRate);
  writer.SaveWav("SBegin", Jingle(), kRate);
  writer.SaveWav("SHaHa", Laugh(), kRate);
}

}  // namespace braxo::art
