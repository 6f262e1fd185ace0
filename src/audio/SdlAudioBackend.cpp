#include "audio/SdlAudioBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstddef>

#include "system/LoadedLibrary.h"

namespace braxo {

namespace {

constexpr int kOutputFrequency = 44100;
constexpr int kOutputChannels = 2;
// Samples per mixing buffer: small enough that a click is heard with the tile it belongs to.
constexpr int kBufferSamples = 1024;

// SDL2 and SDL2_mixer are opened when the output is first opened (on the
// game's sound thread), not linked: with the codecs and sound servers they
// pull in they are more libraries than Qt itself, all of which the window
// would wait for.
struct SdlLibrary {
  decltype(&SDL_SetHint) set_hint = nullptr;
  decltype(&SDL_InitSubSystem) init_sub_system = nullptr;
  decltype(&SDL_QuitSubSystem) quit_sub_system = nullptr;
  decltype(&SDL_GetError) get_error = nullptr;
  decltype(&SDL_TLSCleanup) tls_cleanup = nullptr;
  decltype(&SDL_RWFromConstMem) rw_from_const_mem = nullptr;
  decltype(&SDL_RWclose) rw_close = nullptr;
  decltype(&Mix_OpenAudio) open_audio = nullptr;
  decltype(&Mix_CloseAudio) close_audio = nullptr;
  decltype(&Mix_LoadWAV_RW) load_wav = nullptr;
  decltype(&Mix_FreeChunk) free_chunk = nullptr;
  decltype(&Mix_AllocateChannels) allocate_channels = nullptr;
  decltype(&Mix_Playing) playing = nullptr;
  decltype(&Mix_PlayChannelTimed) play_channel = nullptr;
  decltype(&Mix_HaltChannel) halt_channel = nullptr;
};

struct LoadedSdl {
  SdlLibrary library;
  std::string error;  // empty when every function was found
};

LoadedSdl LoadSdl() {
  LoadedSdl loaded;
  // Found by their run-time names, as the package manager installs them.
  LoadedLibrary sdl("libSDL2-2.0.so.0");
  LoadedLibrary mixer("libSDL2_mixer-2.0.so.0");
  SdlLibrary& fn = loaded.library;
  const bool complete =
      sdl.Resolve("SDL_SetHint", fn.set_hint) &&
      sdl.Resolve("SDL_InitSubSystem", fn.init_sub_system) &&
      sdl.Resolve("SDL_QuitSubSystem", fn.quit_sub_system) &&
      sdl.Resolve("SDL_GetError", fn.get_error) && sdl.Resolve("SDL_TLSCleanup", fn.tls_cleanup) &&
      sdl.Resolve("SDL_RWFromConstMem", fn.rw_from_const_mem) &&
      sdl.Resolve("SDL_RWclose", fn.rw_close) && mixer.Resolve("Mix_OpenAudio", fn.open_audio) &&
      mixer.Resolve("Mix_CloseAudio", fn.close_audio) &&
      mixer.Resolve("Mix_LoadWAV_RW", fn.load_wav) &&
      mixer.Resolve("Mix_FreeChunk", fn.free_chunk) &&
      mixer.Resolve("Mix_AllocateChannels", fn.allocate_channels) &&
      mixer.Resolve("Mix_Playing", fn.playing) &&
      mixer.Resolve("Mix_PlayChannelTimed", fn.play_channel) &&
      mixer.Resolve("Mix_HaltChannel", fn.halt_channel);
  if (!complete) loaded.error = !sdl.Error().empty() ? sdl.Error() : mixer.Error();
  return loaded;
}

// The libraries, or nullptr with the reason in `error`. Safe from any thread.
const SdlLibrary* Sdl(std::string& error) {
  static const LoadedSdl loaded = LoadSdl();
  if (!loaded.error.empty()) {
    error = loaded.error;
    return nullptr;
  }
  return &loaded.library;
}

// The libraries once Open() has succeeded with them.
const SdlLibrary& OpenedSdl() {
  std::string unused;
  return *Sdl(unused);
}

// SDL keeps per-thread state (its error text among it) that it frees by itself
// only on the threads it created; the game opens the output and decodes on a
// thread of its own, which would leak that state when it ends.
class ThreadStateRelease {
 public:
  ThreadStateRelease() = default;
  ~ThreadStateRelease() {
    std::string unused;
    if (const SdlLibrary* sdl = Sdl(unused)) sdl->tls_cleanup();
  }
  ThreadStateRelease(const ThreadStateRelease&) = delete;
  ThreadStateRelease& operator=(const ThreadStateRelease&) = delete;
};

}  // namespace

void SdlAudioBackend::ChunkFree::operator()(Mix_Chunk* chunk) const {
  OpenedSdl().free_chunk(chunk);
}

SdlAudioBackend::SdlAudioBackend() = default;

SdlAudioBackend::~SdlAudioBackend() { Close(); }

bool SdlAudioBackend::Open() {
  if (open_) return true;
  last_error_.clear();
  const SdlLibrary* sdl = Sdl(last_error_);
  if (sdl == nullptr) return false;
  const ThreadStateRelease release;
  // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit
  // events that nobody reads: the game could no longer be stopped that way.
  sdl->set_hint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (sdl->init_sub_system(SDL_INIT_AUDIO) != 0) {
    last_error_ = sdl->get_error();
    return false;
  }
  if (sdl->open_audio(kOutputFrequency, MIX_DEFAULT_FORMAT, kOutputChannels, kBufferSamples) != 0) {
    last_error_ = sdl->get_error();
    sdl->quit_sub_system(SDL_INIT_AUDIO);
    return false;
  }
  open_ = true;
  return true;
}

std::vector<ChannelHandle> SdlAudioBackend::CreateChannels(std::span<const std::uint8_t> bytes,
                                                           int count) {
  std::vector<ChannelHandle> handles(count > 0 ? static_cast<std::size_t>(count) : 0, kNoChannel);
  if (!open_ || handles.empty()) return handles;
  const SdlLibrary& sdl = OpenedSdl();
  const ThreadStateRelease release;
  // SDL reads memory through an int length; an empty or oversized buffer is no sound.
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    last_error_ = "sound bytes empty or too large";
    return handles;
  }
  SDL_RWops* source = sdl.rw_from_const_mem(bytes.data(), static_cast<int>(bytes.size()));
  if (source == nullptr) {
    last_error_ = sdl.get_error();
    return handles;
  }
  // Decoding copies the samples, so the chunk does not depend on `bytes` afterwards.
  // The source is closed here: SDL2_mixer 2.6 does not close it on every
  // failure even when asked to.
  Mix_Chunk* chunk = sdl.load_wav(source, 0);
  if (chunk == nullptr) last_error_ = sdl.get_error();
  sdl.rw_close(source);
  if (chunk == nullptr) return handles;
  const std::size_t first = channel_chunks_.size();
  const int wanted = static_cast<int>(first + handles.size());
  if (sdl.allocate_channels(wanted) < wanted) {
    last_error_ = sdl.get_error();
    sdl.free_chunk(chunk);
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
  const SdlLibrary& sdl = OpenedSdl();
  if (sdl.playing(mixer_channel) != 0) return;
  sdl.play_channel(mixer_channel, channel_chunks_[static_cast<std::size_t>(mixer_channel)], 0, -1);
}

void SdlAudioBackend::Close() {
  if (!open_) return;
  const SdlLibrary& sdl = OpenedSdl();
  const ThreadStateRelease release;
  sdl.halt_channel(-1);
  channel_chunks_.clear();
  chunks_.clear();
  sdl.close_audio();
  sdl.quit_sub_system(SDL_INIT_AUDIO);
  open_ = false;
}

}  // namespace braxo
