#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "audio/AudioBackend.h"

struct Mix_Chunk;

namespace braxo {

// Plays through SDL2_mixer. Each sound is decoded once from memory into one sample chunk;
// its channels are separate mixer channels sharing that chunk. The driver is SDL's choice,
// or the one named by SDL_AUDIODRIVER ("dummy" mixes with no device at all).
//
// SDL2_mixer is one per process: at most one SdlAudioBackend may be open at a time.
class SdlAudioBackend final : public AudioBackend {
 public:
  SdlAudioBackend();
  // Closes the backend as Close() does.
  ~SdlAudioBackend() override;

  SdlAudioBackend(const SdlAudioBackend&) = delete;
  SdlAudioBackend& operator=(const SdlAudioBackend&) = delete;

  bool Open() override;
  std::vector<ChannelHandle> CreateChannels(std::span<const std::uint8_t> bytes,
                                            int count) override;
  void PlayChannel(ChannelHandle channel) override;
  void Close() override;

  // SDL's reason for the last failure of Open() or CreateChannels(); empty when none.
  const std::string& LastError() const { return last_error_; }

  // The SDL2_mixer channel number behind a handle this backend returned.
  static constexpr int MixerChannel(ChannelHandle channel) { return static_cast<int>(channel) - 1; }

 private:
  struct ChunkFree {
    void operator()(Mix_Chunk* chunk) const;
  };

  bool open_ = false;
  std::vector<std::unique_ptr<Mix_Chunk, ChunkFree>> chunks_;
  // The chunk each mixer channel plays, indexed by mixer channel.
  std::vector<Mix_Chunk*> channel_chunks_;
  std::string last_error_;
};

}  // namespace braxo
