#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/AudioBackend.h"

namespace braxo {

// The fixed text shown once when the audio output cannot be started.
inline constexpr std::string_view kAudioInitError = "Error initializing audio!";

inline constexpr int kChannelsPerSound = 4;

// Every sound of the game, by the name the game plays it with.
inline constexpr std::array<std::string_view, 8> kSoundNames = {
    "SClick1", "SClick2", "SHaHa", "SSton", "STada", "STimer", "SBegin", "SEnd"};

// Returns the encoded bytes of the named sound; empty when there is no such sound.
using SoundLoader = std::function<std::vector<std::uint8_t>(std::string_view name)>;

// The game's sounds, each prepared as kChannelsPerSound channels over the same bytes and
// played on them in turn, so a sound can overlap itself up to four times.
class SoundTable {
 public:
  // @pre backend is not null.
  explicit SoundTable(std::unique_ptr<AudioBackend> backend);
  // Releases the sounds as FreeSound() does.
  ~SoundTable();

  SoundTable(const SoundTable&) = delete;
  SoundTable& operator=(const SoundTable&) = delete;

  // Opens the backend and prepares every sound of kSoundNames from the loader's bytes. When
  // the output cannot be opened, returns kAudioInitError for the caller to show, and the
  // table stays silent for good. Only the first call does anything; later calls return
  // nullopt, so the message is reported at most once. A sound the loader has no bytes for,
  // or whose bytes do not decode, stays silent alone.
  [[nodiscard]] std::optional<std::string> InitSound(const SoundLoader& loader);

  // Plays the sound whose name equals `name` exactly on its next channel, then moves that
  // sound's next channel on (1, 2, 3, 4, 1, ...). Every sound keeps its own rotation. A name
  // that matches no sound changes nothing. Before InitSound(), after a failed one and after
  // FreeSound() it does nothing.
  void PlaySoundEffect(std::string_view name);

  // Closes the backend and releases every sound's bytes; later plays do nothing. Safe to
  // call more than once.
  void FreeSound();

 private:
  struct SoundEntry {
    std::vector<std::uint8_t> bytes;
    std::array<ChannelHandle, kChannelsPerSound> channels{};
    int next_channel = 1;
  };

  std::unique_ptr<AudioBackend> backend_;
  std::array<SoundEntry, kSoundNames.size()> entries_;
  bool init_done_ = false;
  bool playing_ = false;
};

}  // namespace braxo
