#include "audio/SoundTable.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace braxo {

SoundTable::SoundTable(std::unique_ptr<AudioBackend> backend) : backend_(std::move(backend)) {}

SoundTable::~SoundTable() { FreeSound(); }

std::optional<std::string> SoundTable::InitSound(const SoundLoader& loader) {
  if (init_done_) return std::nullopt;
  init_done_ = true;
  if (!backend_->Open()) {
    // A game without sound is still a game: the caller shows the message and play goes on
    // with every sound silent.
    backend_->Close();
    return std::string(kAudioInitError);
  }
  playing_ = true;
  for (std::size_t i = 0; i < kSoundNames.size(); ++i) {
    SoundEntry& entry = entries_[i];
    entry.bytes = loader(kSoundNames[i]);
    if (entry.bytes.empty()) continue;
    const std::vector<ChannelHandle> made =
        backend_->CreateChannels(entry.bytes, kChannelsPerSound);
    // Fewer handles than asked for leaves the missing channels silent rather than out of range.
    std::copy_n(made.begin(), std::min<std::size_t>(made.size(), kChannelsPerSound),
                entry.channels.begin());
  }
  return std::nullopt;
}

void SoundTable::PlaySoundEffect(std::string_view name) {
  if (!playing_) return;
  const auto found = std::find(kSoundNames.begin(), kSoundNames.end(), name);
  if (found == kSoundNames.end()) return;
  SoundEntry& entry = entries_[static_cast<std::size_t>(found - kSoundNames.begin())];
  const ChannelHandle channel = entry.channels[static_cast<std::size_t>(entry.next_channel - 1)];
  // A channel that could not be made still takes its turn, so the rotation stays the same
  // whatever failed to decode.
  if (channel != kNoChannel) backend_->PlayChannel(channel);
  entry.next_channel = entry.next_channel % kChannelsPerSound + 1;
}

void SoundTable::FreeSound() {
  backend_->Close();
  init_done_ = true;
  playing_ = false;
  for (SoundEntry& entry : entries_) {
    entry.bytes = {};
    entry.channels.fill(kNoChannel);
  }
}

}  // namespace braxo
