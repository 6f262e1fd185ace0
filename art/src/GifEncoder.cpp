#include "GifEncoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace braxo::art {
namespace {

using Rgb = std::array<int, 3>;

struct Box {
  std::vector<Rgb> colours;
  int WidestChannel(int* range) const {
    int best = 0;
    *range = -1;
    for (int c = 0; c < 3; ++c) {
      int lo = 255;
      int hi = 0;
      for (const Rgb& rgb : colours) {
        lo = std::min(lo, rgb[c]);
        hi = std::max(hi, rgb[c]);
      }
      if (hi - lo > *range) {
        *range = hi - lo;
        best = c;
      }
    }
    return best;
  }
  Rgb Average() const {
    std::int64_t sum[3] = {0, 0, 0};
    for (const Rgb& rgb : colours) {
      for (int c = 0; c < 3; ++c) sum[c] += rgb[c];
    }
    const std::int64_t n = std::max<std::int64_t>(1, static_cast<std::int64_t>(colours.size()));
    return {static_cast<int>((sum[0] + n / 2) / n), static_cast<int>((sum[1] + n / 2) / n),
            static_cast<int>((sum[2] + n / 2) / n)};
  }
};

// Median cut over every opaque pixel: split the box with the widest channel
// range at its median until `count` boxes exist or none can be split.
std::vector<Rgb> MedianCut(std::vector<Rgb> pixels, int count) {
  std::vector<Box> boxes;
  if (pixels.empty()) return {};
  boxes.push_back(Box{std::move(pixels)});
  while (static_cast<int>(boxes.size()) < count) {
    int pick = -1;
    int pick_range = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      int range = 0;
      boxes[i].WidestChannel(&range);
      if (boxes[i].colours.size() > 1 && range > pick_range) {
        pick_range = range;
        pick = static_cast<int>(i);
      }
    }
    if (pick < 0) break;
    Box& box = boxes[static_cast<size_t>(pick)];
    int range = 0;
    const int channel = box.WidestChannel(&range);
    std::stable_sort(box.colours.begin(), box.colours.end(),
                     [channel](const Rgb& a, const Rgb& b) { return a[channel] < b[channel]; });
    const size_t middle = box.colours.size() / 2;
    Box upper{std::vector<Rgb>(box.colours.begin() + static_cast<std::ptrdiff_t>(middle),
                               box.colours.end())};
    box.colours.resize(middle);
    boxes.push_back(std::move(upper));
  }
  std::vector<Rgb> palette;
  palette.reserve(boxes.size());
  for (const Box& box : boxes) palette.push_back(box.Average());
  return palette;
}

int Nearest(const std::vector<Rgb>& palette, const Rgb& rgb) {
  int best = 0;
  int best_distance = 1 << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int dr = palette[i][0] - rgb[0];
    const int dg = palette[i][1] - rgb[1];
    const int db = palette[i][2] - rgb[2];
    const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (d < best_distance) {
      best_distance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

int AppendBytes(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* out = static_cast<QByteArray*>(gif->UserData);
  out->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};

}  // namespace

QByteArray EncodeAnimatedGif(const std::vector<QImage>& frames, int delay_cs, QString* error) {
  if (frames.empty()) {
    *error = "no frames";
    return {};
  }
  const int width = frames.front().width();
  const int height = frames.front().height();
  std::vector<QImage> straight;
  std::vector<Rgb> opaque;
  for (const QImage& frame : frames) {
    if (frame.size() != frames.front().size()) {
      *error = "frames differ in size";
      return {};
    }
    straight.push_back(frame.convertToFormat(QImage::Format_ARGB32));
    const QImage& s = straight.back();
    for (int y = 0; y < height; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(s.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        if (qAlpha(row[x]) >= 128) opaque.push_back({qRed(row[x]), qGreen(row[x]), qBlue(row[x])});
      }
    }
  }
  const std::vector<Rgb> palette = MedianCut(std::move(opaque), 255);

  std::array<GifColorType, 256> colours{};
  for (size_t i = 0; i < palette.size(); ++i) {
    colours[i + 1] = GifColorType{static_cast<GifByteType>(palette[i][0]),
                                  static_cast<GifByteType>(palette[i][1]),
                                  static_cast<GifByteType>(palette[i][2])};
  }
  std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)> map(
      GifMakeMapObject(256, colours.data()), &GifFreeMapObject);

  QByteArray bytes;
  int gif_error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, &AppendBytes, &gif_error));
  if (!gif) {
    *error = GifErrorString(gif_error);
    return {};
  }
  EGifSetGifVersion(gif.get(), true);
  bool ok = EGifPutScreenDesc(gif.get(), width, height, 8, 0, map.get()) == GIF_OK;

  // The application extension that makes viewers loop the animation forever.
  static const char kLoopName[] = "NETSCAPE2.0";
  const GifByteType loop[3] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_OK;
  ok = ok && EGifPutExtensionBlock(gif.get(), 11, kLoopName) == GIF_OK;
  ok = ok && EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_OK;
  ok = ok && EGifPutExtensionTrailer(gif.get()) == GIF_OK;

  std::vector<GifPixelType> line(static_cast<size_t>(width));
  for (const QImage& frame : straight) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_BACKGROUND;
    control.UserInputFlag = false;
    control.DelayTime = delay_cs;
    control.TransparentColor = 0;
    GifByteType extension[4];
    const size_t extension_length = EGifGCBToExtension(&control, extension);
    ok = ok && EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE,
                                static_cast<int>(extension_length), extension) == GIF_OK;
    ok = ok && EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        line[static_cast<size_t>(x)] =
            qAlpha(row[x]) < 128
                ? 0
                : static_cast<GifPixelType>(
                      1 + Nearest(palette, {qRed(row[x]), qGreen(row[x]), qBlue(row[x])}));
      }
      ok = EGifPutLine(gif.get(), line.data(), width) == GIF_OK;
    }
  }
  if (!ok) {
    *error = GifErrorString(gif->Error);
    return {};
  }
  int close_error = 0;
  if (EGifCloseFile(gif.release(), &close_error) != GIF_OK) {
    *error = GifErrorString(close_error);
    return {};
  }
  return bytes;
}

}  // namespace braxo::art
