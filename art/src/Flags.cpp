// Language flags (a flag waving on a pole) and the 14 x 12 country flags,
// rendered from the flag SVGs of the flag-icons package.
#include <QFile>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QSvgRenderer>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

constexpr double kPi = std::numbers::pi;

// Country flags by continent, in the order of the country catalogue; index 0
// is "Unknown". "-" marks a flag drawn here because the package has none.
constexpr std::array<const char*, 49> kEurope = {
    "xx", "ru", "al", "ad", "at", "by", "be", "ba", "bg", "hr", "cz", "dk", "ee",
    "fo", "fi", "fr", "de", "gi", "gr", "gg", "hu", "is", "ie", "im", "it", "je",
    "lv", "li", "lt", "lu", "mk", "mt", "md", "mc", "nl", "no", "pl", "pt", "ro",
    "sm", "-",  "sk", "si", "es", "se", "ch", "ua", "va", "gb"};
constexpr std::array<const char*, 52> kAsia = {
    "xx", "af", "am", "az", "bh", "bd", "bt", "io", "bn", "kh", "cn", "cy", "tl",
    "ge", "hk", "in", "id", "ir", "iq", "il", "jp", "jo", "kz", "kw", "kg", "la",
    "lb", "mo", "my", "mv", "mn", "mm", "np", "kp", "om", "pk", "ph", "qa", "sa",
    "sg", "kr", "lk", "sy", "tw", "tj", "th", "tr", "tm", "ae", "uz", "vn", "ye"};
constexpr std::array<const char*, 36> kNorthAmerica = {
    "xx", "ai", "ag", "aw", "bs", "bb", "bz", "bm", "vg", "ca", "ky", "cr",
    "cu", "dm", "do", "sv", "gl", "gd", "gt", "ht", "hn", "jm", "mq", "mx",
    "ms", "ni", "pa", "pr", "kn", "lc", "pm", "vc", "tt", "tc", "us", "vi"};
constexpr std::array<const char*, 15> kSouthAmerica = {
    "xx", "ar", "bo", "br", "cl", "co", "ec", "fk", "gy", "py", "pe", "gs", "sr", "uy", "ve"};
constexpr std::array<const char*, 24> kOceania = {"xx", "as", "au", "ck", "fj", "pf", "gu", "ki",
                                                  "mh", "fm", "nr", "nz", "nu", "nf", "mp", "pw",
                                                  "pg", "pn", "ws", "sb", "to", "tv", "vu", "wf"};
constexpr std::array<const char*, 55> kAfrica = {
    "xx", "dz", "ao", "bj", "bw", "bf", "bi", "cm", "cv", "cf", "td", "km", "cg", "cd",
    "dj", "eg", "gq", "er", "et", "ga", "gm", "gh", "gn", "gw", "ci", "ke", "ls", "lr",
    "ly", "mg", "mw", "ml", "mr", "mu", "ma", "mz", "na", "ne", "ng", "rw", "sh", "st",
    "sn", "sc", "sl", "so", "za", "sd", "sz", "tz", "tg", "tn", "ug", "zm", "zw"};

// Renders a flag filling `size` exactly (the 4 x 3 artwork is stretched to
// the target's shape, so no edge is left half covered).
QImage RenderFlag(const QString& flag_dir, const QString& code, QSize size, QImage::Format format,
                  QStringList* problems) {
  // Flags are opaque: white underneath keeps antialiased art edges from
  // turning into a fringe.
  QImage image(size, format);
  image.fill(Qt::white);
  QPainter p(&image);
  PreparePainter(p);
  if (code == "-") {
    // The blue, white and red tricolour of Serbia and Montenegro.
    const double h = size.height() / 3.0;
    p.fillRect(QRectF(0, 0, size.width(), h + 0.5), QColor(12, 64, 160));
    p.fillRect(QRectF(0, h, size.width(), h + 0.5), QColor(255, 255, 255));
    p.fillRect(QRectF(0, 2 * h, size.width(), h + 0.5), QColor(200, 16, 46));
  } else {
    QSvgRenderer renderer(QString("%1/%2.svg").arg(flag_dir, code));
    if (!renderer.isValid()) {
      *problems << QString("flag %1 could not be read").arg(code);
    } else {
      renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
      renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    }
  }
  p.end();
  return image;
}

// 14 x 12 country flag: drawn four times larger and averaged down, with a
// faint darker edge and a touch of gloss. Pure red is nudged off (255, 0, 0),
// which the country lists treat as transparent.
QImage CountryFlag(const QString& flag_dir, const QString& code, QStringList* problems) {
  // At a finer ratio every design pixel is ratio x ratio device pixels.
  const int ratio = DrawingRatio();
  const QImage big = RenderFlag(flag_dir, code, QSize(56, 48) * ratio,
                                QImage::Format_ARGB32_Premultiplied, problems);
  QImage small = big.scaled(14 * ratio, 12 * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < small.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(small.scanLine(y));
    for (int x = 0; x < small.width(); ++x) {
      QColor c = QColor::fromRgba(row[x]);
      if (c.alpha() < 255) c = Mix(QColor(255, 255, 255), WithAlpha(c, 255), c.alphaF());
      c.setAlpha(255);
      const int design_x = x / ratio;
      const int design_y = y / ratio;
      const bool edge = design_x == 0 || design_y == 0 || design_x == 13 || design_y == 11;
      if (edge) c = Mix(c, QColor(40, 40, 48), 0.38);
      if (design_y >= 1 && design_y <= 4 && !edge)
        c = Mix(c, QColor(255, 255, 255), 0.10 - 0.02 * (design_y - 1));
      if (c.red() == 255 && c.green() == 0 && c.blue() == 0) c.setRed(254);
      row[x] = c.rgba();
    }
  }
  return small;
}

// 150 x 182 language flag: a cloth waving from a polished pole with a gilded
// knob, computed in 16 bits per channel, DrawingRatio() times finer.
QImage LanguageFlag(const QString& flag_dir, const QString& code, QStringList* problems) {
  constexpr int kW = 150;
  constexpr int kH = 182;
  constexpr double kClothLeft = 15.0;
  constexpr double kClothTop = 16.0;
  constexpr double kClothW = 130.0;
  constexpr double kClothH = 97.5;
  const int ratio = DrawingRatio();
  const int scale = 4 * ratio;
  const QImage art = RenderFlag(
      flag_dir, code, QSize(static_cast<int>(kClothW) * scale, static_cast<int>(kClothH * scale)),
      QImage::Format_ARGB32, problems);  // read below as 8-bit QRgb

  auto wave = [](double u) {
    // Vertical shift (pixels) and light factor at cloth position u in [0, 1].
    const double phase = 2 * kPi * (u * 1.35) - 0.6;
    const double grip = std::pow(u, 0.8);
    return std::pair<double, double>{4.2 * std::sin(phase) * grip,
                                     1.0 + 0.22 * std::cos(phase) * std::sqrt(u)};
  };

  // The cloth, with 4 x 4 samples per device pixel; positions in design pixels.
  const int width = kW * ratio;
  const int height = kH * ratio;
  QImage cloth(width, height, QImage::Format_RGBA64_Premultiplied);
  cloth.fill(Qt::transparent);
  // The wave depends on the column only.
  std::vector<std::pair<double, double>> column_wave(static_cast<size_t>(width) * 4);
  for (int i = 0; i < width * 4; ++i) {
    column_wave[static_cast<size_t>(i)] = wave(((i + 0.5) / scale - kClothLeft) / kClothW);
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const double px = (x + (sx + 0.5) / 4.0) / ratio;
          const double py = (y + (sy + 0.5) / 4.0) / ratio;
          const double u = (px - kClothLeft) / kClothW;
          if (u < 0 || u >= 1) continue;
          const auto [shift, light] =
              column_wave[static_cast<size_t>(x) * 4 + static_cast<size_t>(sx)];
          const double v = (py - kClothTop - shift) / kClothH;
          if (v < 0 || v >= 1) continue;
          const int ax = std::min(art.width() - 1, static_cast<int>(u * art.width()));
          const int ay = std::min(art.height() - 1, static_cast<int>(v * art.height()));
          const QRgb c = reinterpret_cast<const QRgb*>(art.constScanLine(ay))[ax];
          const double ca = 1.0;
          // A faint seam along the hem keeps white cloth visible on a light panel.
          const double hem = std::min({v * kClothH, (1 - v) * kClothH, (1 - u) * kClothW});
          const double seam = hem < 0.9 ? 0.8 : 1.0;
          // The binding is captured by value: clang 14 cannot capture a structured binding.
          auto lit = [&, light = light](double channel) {
            const double value = channel / 255.0;
            return seam * (light >= 1 ? value + (1 - value) * (light - 1) * 0.9 : value * light);
          };
          r += lit(qRed(c)) * ca;
          g += lit(qGreen(c)) * ca;
          b += lit(qBlue(c)) * ca;
          a += ca;
        }
      }
      if (a <= 0) continue;
      const double n = 16.0;
      cloth.setPixelColor(x, y,
                          QColor::fromRgba64(QRgba64::fromRgba64(
                              static_cast<quint16>(std::lround(Clamp01(r / a) * 65535)),
                              static_cast<quint16>(std::lround(Clamp01(g / a) * 65535)),
                              static_cast<quint16>(std::lround(Clamp01(b / a) * 65535)),
                              static_cast<quint16>(std::lround(Clamp01(a / n) * 65535)))));
    }
  }

  cloth.setDevicePixelRatio(ratio);

  QImage image(width, height, QImage::Format_RGBA64_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  QPainter p(&image);
  PreparePainter(p);
  // Soft shadow of the cloth and pole on the panel behind.
  QImage shadow_source(width, height, QImage::Format_ARGB32_Premultiplied);
  shadow_source.setDevicePixelRatio(ratio);
  shadow_source.fill(Qt::transparent);
  {
    QPainter s(&shadow_source);
    s.drawImage(0, 0, cloth.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    s.fillRect(QRectF(9, 10, 6, 164), Qt::black);
    s.setCompositionMode(QPainter::CompositionMode_SourceIn);
    s.fillRect(shadow_source.rect(), QColor(40, 28, 10, 90));
  }
  p.drawImage(QPointF(4, 5), Blurred(shadow_source, 2));

  // Pole and knob.
  QLinearGradient pole(QPointF(8.5, 0), QPointF(15.5, 0));
  pole.setColorAt(0.0, QColor(120, 96, 60));
  pole.setColorAt(0.35, QColor(236, 222, 190));
  pole.setColorAt(1.0, QColor(110, 84, 48));
  p.setPen(Qt::NoPen);
  p.setBrush(pole);
  p.drawRoundedRect(QRectF(8.5, 10, 7, 164), 2, 2);
  QLinearGradient base(QPointF(0, 170), QPointF(0, 180));
  base.setColorAt(0.0, QColor(232, 196, 90));
  base.setColorAt(1.0, QColor(140, 96, 24));
  p.setBrush(base);
  p.drawRoundedRect(QRectF(2, 171, 20, 9), 3, 3);
  DrawGlossyBall(p, QPointF(12, 8), 6.5, QColor(230, 176, 40));

  // Rings that hold the cloth to the pole.
  p.drawImage(0, 0, cloth);
  p.setPen(QPen(QColor(90, 70, 40), 1.2));
  p.setBrush(QColor(220, 200, 150));
  for (double y : {20.0, 62.0, 104.0}) p.drawRoundedRect(QRectF(7.5, y, 9, 4), 1.5, 1.5);
  p.end();
  return image;
}

}  // namespace

void MakeLanguageFlags(AssetWriter& writer, const QString& flag_dir) {
  QStringList problems;
  struct Language {
    const char* name;
    const char* code;
  };
  const std::array<Language, 10> languages = {{{"FlagEng", "gb"},
                                               {"FlagRus", "ru"},
                                               {"FlagDeu", "de"},
                                               {"FlagFra", "fr"},
                                               {"FlagEsp", "es"},
                                               {"FlagChi", "cn"},
                                               {"FlagIta", "it"},
                                               {"FlagCze", "cz"},
                                               {"FlagJap", "jp"},
                                               {"FlagKor", "kr"}}};
  for (const Language& language : languages) {
    writer.SavePng16(language.name, LanguageFlag(flag_dir, language.code, &problems));
  }
  for (const QString& problem : problems) writer.AddError(problem);
}

void MakeCountryFlags(AssetWriter& writer, const QString& flag_dir) {
  QStringList problems;
  auto continent = [&](int digit, const auto& codes) {
    for (size_t i = 0; i < codes.size(); ++i) {
      writer.SavePng(QString("Country%1%2").arg(digit).arg(i, 3, 10, QChar('0')),
                     CountryFlag(flag_dir, codes[i], &problems));
    }
  };
  continent(1, kEurope);
  continent(2, kAsia);
  continent(3, kNorthAmerica);
  continent(4, kSouthAmerica);
  continent(5, kOceania);
  continent(6, kAfrica);
  for (const QString& problem : problems) writer.AddError(problem);
}

}  // namespace braxo::art
