#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace braxo {

// Identifies one playback channel of a backend. kNoChannel stands for a channel that could
// not be made; playing it does nothing.
using ChannelHandle = std::uint32_t;
inline constexpr ChannelHandle kNoChannel = 0;

// The audio output the sound table plays through. All calls come from one thread; the
// backend may mix on threads of its own.
class AudioBackend {
 public:
  virtual ~AudioBackend() = default;

  // Starts the output device. Returns false when there is no usable output; the backend is
  // then left closed and only Close() may be called on it.
  virtual bool Open() = 0;

  // Prepares `count` independent playback channels over one sound's encoded bytes (a WAV
  // file, or another format the backend decodes), so that the sound can overlap itself
  // `count` times. Returns exactly `count` handles; every handle is kNoChannel when the bytes
  // cannot be decoded. `bytes` stays valid until Close().
  // @pre Open() returned true.
  virtual std::vector<ChannelHandle> CreateChannels(std::span<const std::uint8_t> bytes,
                                                    int count) = 0;

  // Starts the sound of `channel` and returns at once. A channel that has finished plays its
  // sound again from the start; one still playing goes on undisturbed. kNoChannel and handles
  // this backend never returned are ignored.
  virtual void PlayChannel(ChannelHandle channel) = 0;

  // Stops every channel, releases the sounds and the device. Safe on a backend that was never
  // opened, failed to open or is already closed.
  virtual void Close() = 0;
};

}  // namespace braxo
