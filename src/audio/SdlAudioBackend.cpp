#include "audio/SdlAudioBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstddef>

namespace braxo {

namespace {

constexpr int kOutputFrequency = 44100;
constexpr int kOutputChannels = 2;
// Samples per mixing buffer: small enough that a click is heard with the tile it belongs to.
constexpr int kBufferSamples = 1024;

// SDL keeps per-thread state (its error text among it) that it frees by itself
// only on the threads it created; the game opens the output and decodes on a
// thread of its own, which would leak that state when it ends.
class ThreadStateRelease {
 public:
  ThreadStateRelease() = default;
  ~ThreadStateRelease() { SDL_TLSCleanup(); }
  ThreadStateRelease(const ThreadStateRelease&) = delete;
  ThreadStateRelease& operator=(const ThreadStateRelease&) = delete;
};

}  // namespace

void SdlAudioBackend::ChunkFree::operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }

SdlAudioBackend::SdlAudioBackend() = default;

SdlAudioBackend::~SdlAudioBackend() { Close(); }

bool SdlAudioBackend::Open() {
  if (open_) return true;
  const ThreadStateRelease release;
  last_error_.clear();
  // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit
  // events that nobody reads: the game could no longer be stopped that way.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    last_error_ = SDL_GetError();
    return false;
  }
  if (Mix_OpenAudio(kOutputFrequency, MIX_DEFAULT_FORMAT, kOutputChannels, kBufferSamples) != 0) {
    last_error_ = Mix_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  open_ = true;
  return true;
}

std::vector<ChannelHandle> SdlAudioBackend::CreateChannels(std::span<const std::uint8_t> bytes,
                                                           int count) {
  std::vector<ChannelHandle> handles(count > 0 ? static_cast<std::size_t>(count) : 0, kNoChannel);
  if (!open_ || handles.empty()) return handles;
  const ThreadStateRelease release;
  // SDL reads memory through an int length; an empty or oversized buffer is no sound.
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    last_error_ = "sound bytes empty or too large";
    return handles;
  }
  SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (source == nullptr) {
    last_error_ = SDL_GetError();
    return handles;
  }
  // Decoding copies the samples, so the chunk does not depend on `bytes` afterwards.
  // The source is closed here: SDL2_mixer 2.6 does not close it on every
  // failure even when asked to.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 0);
  if (chunk == nullptr) last_error_ = Mix_GetError();
  SDL_RWclose(source);
  if (chunk == nullptr) return handles;
  const std::size_t first = channel_chunks_.size();
  const int wanted = static_cast<int>(first + handles.size());
  if (Mix_AllocateChannels(wanted) < wanted) {
    last_error_ = Mix_GetError();
    Mix_FreeChunk(chunk);
    return handles;
  }
  chunks_.emplace_back(chunk);
  for (std::size_t i = 0; i < handles.size(); ++i) {
    channel_chunks_.push_back(chunk);
    handles[i] = static_cast<ChannelHandle>(first + i + 1);
  }
  return handles;
}

void SdlAudioBackend::PlayChannel(ChannelHandle channel) {
  if (!open_ || channel == kNoChannel || channel > channel_chunks_.size()) return;
  const int mixer_channel = MixerChannel(channel);
  // Starting a busy mixer channel would cut its sound off; the sound already under way wins.
  if (Mix_Playing(mixer_channel) != 0) return;
  Mix_PlayChannel(mixer_channel, channel_chunks_[static_cast<std::size_t>(mixer_channel)], 0);
}

void SdlAudioBackend::Close() {
  if (!open_) return;
  const ThreadStateRelease release;
  Mix_HaltChannel(-1);
  channel_chunks_.clear();
  chunks_.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

}  // namespace braxo
