// The embedded pictures, sounds and fonts that the rest of the game looks up
// by name. Linking braxo_assets alone must make them visible under :/assets
// and :/fonts (no Q_INIT_RESOURCE anywhere).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Asset {
  std::string name;
  std::string ext;  // "png", "jpg", "gif" or "wav"
  int width = 0;
  int height = 0;
};

// Readable names in test output.
void PrintTo(const Asset& a, std::ostream* out) { *out << a.name << "." << a.ext; }

std::string FileName(const Asset& a) { return a.name + "." + a.ext; }
QString ResourcePath(const Asset& a) { return QString::fromStdString(":/assets/" + FileName(a)); }

// Every resource the game asks for, with its exact size.
std::vector<Asset> ContractAssets() {
  std::vector<Asset> list;
  auto add = [&list](std::string name, std::string ext, int w, int h) {
    list.push_back({std::move(name), std::move(ext), w, h});
  };
  // A picture the game draws at the screen's ratio: at 1x, 2x ("@2x") and 3x.
  auto scaled = [&add](const std::string& name, const std::string& ext, int w, int h) {
    add(name, ext, w, h);
    for (const int ratio : {2, 3}) {
      add(name + "@" + std::to_string(ratio) + "x", ext, w * ratio, h * ratio);
    }
  };
  add("BG", "jpg", 850, 510);
  add("BGAccount", "jpg", 750, 620);
  for (int mode = 1; mode <= 3; ++mode) {
    for (int level = 1; level <= 5; ++level) {
      add("Level" + std::to_string(mode) + "_" + std::to_string(level), "jpg", 420, 350);
    }
  }
  // The tiles at 1x, and at 2x and 3x for a board drawn at those pixel
  // ratios ("GKSun1@2x"), as every picture below added with `scaled`.
  for (const int ratio : {1, 2, 3}) {
    const std::string suffix = ratio == 1 ? "" : "@" + std::to_string(ratio) + "x";
    const int size = 84 * ratio;
    for (const char* state : {"GK", "GV"}) {
      for (const char* family : {"Sun", "Rom", "Kap", "Rak"}) {
        for (int digit = 1; digit <= 4; ++digit) {
          add(std::string(state) + family + std::to_string(digit) + suffix, "png", size, size);
        }
      }
      add(std::string(state) + "Obl0" + suffix, "png", size, size);
    }
  }
  for (int frame = 1; frame <= 26; ++frame) scaled("GBax" + std::to_string(frame), "png", 100, 123);
  for (int sprite = 1; sprite <= 5; ++sprite)
    scaled("Sprite" + std::to_string(sprite), "png", 50, 50);
  scaled("Ramka180", "png", 180, 100);
  scaled("Ramka600", "png", 600, 332);
  scaled("RamkaAc", "png", 330, 55);
  scaled("GAcFrame", "png", 240, 290);
  scaled("GAcNoM", "png", 200, 250);
  scaled("GAcNoF", "png", 200, 250);
  scaled("Kez064", "png", 64, 64);
  scaled("Icon064", "png", 64, 64);
  for (const char* language : {"Eng", "Rus", "Chi", "Jap", "Kor"}) {
    scaled(std::string("Cap") + language, "png", 450, 70);
  }
  for (const char* language :
       {"Eng", "Rus", "Deu", "Fra", "Esp", "Chi", "Ita", "Cze", "Jap", "Kor"}) {
    scaled(std::string("Flag") + language, "png", 150, 182);
  }
  for (const char* icon : {"Account48", "Earth48", "GChat048", "Android", "GPlay", "Windows",
                           "Medal", "Help48", "Stat48", "Warning48", "GlyphN", "GlyphE", "GlyphS",
                           "GlyphChampions", "GlyphOptions", "GlyphAbout"}) {
    scaled(icon, "png", 48, 48);
  }
  scaled("Stop45", "png", 45, 45);
  scaled("GlyphRefresh", "png", 32, 32);
  scaled("GlyphEnvelope", "png", 24, 16);
  for (const char* lamp : {"LampR24", "LampY24", "LampG24"}) scaled(lamp, "png", 24, 24);
  scaled("Arrow072L", "png", 72, 72);
  scaled("Arrow072R", "png", 72, 72);
  scaled("FaceMan16", "png", 16, 16);
  scaled("FaceWoman16", "png", 16, 16);
  for (const char* field : {"GAcAbout", "GAcEMail", "GAcFaceBook", "GAcInstagramm", "GAcName1",
                            "GAcName2", "GAcOK", "GAcSkype", "GAcTelegram", "GAcTelephone",
                            "GAcTwitter", "GAcVK", "GAcWebSite", "GAcYouTube"}) {
    scaled(field, "png", 32, 32);
  }
  struct Pieces {
    int height;
    int side;
  };
  for (const Pieces& set : {Pieces{29, 23}, Pieces{44, 31}, Pieces{59, 37}}) {
    for (const char* light : {"", "L"}) {
      const std::string stem = "B" + std::to_string(set.height) + "_";
      // The end caps at every ratio; the body is plain rows, at 1x only.
      scaled(stem + "Left" + light, "png", set.side, set.height);
      scaled(stem + "Right" + light, "png", set.side, set.height);
      add(stem + "Telo" + light, "png", 10, set.height);
    }
  }
  scaled("GFree", "png", 10, 10);
  for (const char* star : {"StarR0", "StarY0", "StarG0"}) scaled(star, "gif", 55, 45);
  const int last_index[6] = {48, 51, 35, 14, 23, 54};
  for (int continent = 1; continent <= 6; ++continent) {
    for (int index = 0; index <= last_index[continent - 1]; ++index) {
      char name[32];
      std::snprintf(name, sizeof name, "Country%d%03d", continent, index);
      scaled(name, "png", 14, 12);
    }
  }
  for (const char* sound :
       {"SClick1", "SClick2", "SHaHa", "SSton", "STada", "STimer", "SBegin", "SEnd"}) {
    add(sound, "wav", 0, 0);
  }
  return list;
}

QImage Load(const std::string& file) {
  QImage image(QString::fromStdString(":/assets/" + file));
  return image.convertToFormat(QImage::Format_ARGB32);
}

// ---- Every name of the contract ----------------------------------------------------

class EmbeddedAsset : public ::testing::TestWithParam<Asset> {};

TEST_P(EmbeddedAsset, IsEmbeddedDecodesAndHasItsSize) {
  const Asset& asset = GetParam();
  QFile file(ResourcePath(asset));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << FileName(asset) << " is not embedded";
  const QByteArray bytes = file.readAll();
  ASSERT_FALSE(bytes.isEmpty());

  if (asset.ext == "wav") {
    // RIFF/WAVE, one "fmt " chunk describing 16-bit PCM, then the samples.
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.mid(0, 4), "RIFF");
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4),
              static_cast<quint32>(bytes.size() - 8));
    EXPECT_EQ(bytes.mid(8, 4), "WAVE");
    EXPECT_EQ(bytes.mid(12, 4), "fmt ");
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 20), 1) << "not PCM";
    const quint16 channels = qFromLittleEndian<quint16>(bytes.constData() + 22);
    const quint32 rate = qFromLittleEndian<quint32>(bytes.constData() + 24);
    const quint32 byte_rate = qFromLittleEndian<quint32>(bytes.constData() + 28);
    const quint16 block = qFromLittleEndian<quint16>(bytes.constData() + 32);
    const quint16 bits = qFromLittleEndian<quint16>(bytes.constData() + 34);
    EXPECT_GE(channels, 1);
    EXPECT_GE(rate, 8000u);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(block, channels * 2);
    EXPECT_EQ(byte_rate, rate * block);
    EXPECT_EQ(bytes.mid(36, 4), "data");
    const quint32 data = qFromLittleEndian<quint32>(bytes.constData() + 40);
    EXPECT_EQ(data, static_cast<quint32>(bytes.size() - 44));
    EXPECT_GT(data, 0u);
    int loudest = 0;
    for (qsizetype i = 44; i + 1 < bytes.size(); i += 2) {
      loudest = std::max(
          loudest, std::abs(static_cast<int>(qFromLittleEndian<qint16>(bytes.constData() + i))));
    }
    EXPECT_GT(loudest, 3000) << "silent sound";
    return;
  }

  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QByteArray format =
      asset.ext == "jpg" ? QByteArray("jpeg") : QByteArray::fromStdString(asset.ext);
  EXPECT_EQ(reader.format(), format) << "content does not match the extension";
  const QImage image = reader.read();
  ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
  EXPECT_EQ(image.width(), asset.width);
  EXPECT_EQ(image.height(), asset.height);
  if (asset.ext == "png") {
    EXPECT_TRUE(image.hasAlphaChannel()) << "PNG without alpha";
  }
  if (asset.ext == "gif") {
    int frames = 1;
    while (reader.canRead() && !reader.read().isNull()) ++frames;
    EXPECT_GT(frames, 1) << "not animated";
  }
}

std::string TestName(const ::testing::TestParamInfo<Asset>& info) {
  // A test's name takes letters, digits and "_" only: "GKSun1@2x" -> "GKSun1_2x".
  std::string name = info.param.name + "_" + info.param.ext;
  std::replace(name.begin(), name.end(), '@', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Contract, EmbeddedAsset, ::testing::ValuesIn(ContractAssets()), TestName);

TEST(EmbeddedAssets, HoldNothingOutsideTheContractAndNoNamesThatDifferOnlyInCase) {
  QSet<QString> expected;
  for (const Asset& a : ContractAssets()) expected.insert(QString::fromStdString(FileName(a)));
  QSet<QString> lowered;
  QDirIterator it(":/assets", QDir::Files, QDirIterator::Subdirectories);
  int count = 0;
  while (it.hasNext()) {
    it.next();
    const QString file = it.fileName();
    ++count;
    EXPECT_FALSE(lowered.contains(file.toLower()))
        << file.toStdString() << " clashes in a case-blind index";
    lowered.insert(file.toLower());
    if (file.startsWith("LICENSE")) continue;
    EXPECT_TRUE(expected.contains(file)) << file.toStdString() << " is embedded but not expected";
  }
  EXPECT_GE(count, static_cast<int>(expected.size()));
}

TEST(EmbeddedAssets, KeepTheFlagArtworkLicence) {
  QFile licence(":/assets/LICENSE-flag-icons.txt");
  ASSERT_TRUE(licence.open(QIODevice::ReadOnly));
  EXPECT_TRUE(licence.readAll().contains("MIT License"));
}

// ---- Properties the drawing code relies on ---------------------------------------------

TEST(EmbeddedFonts, LoadUnderTheirRealFamilyNames) {
  struct Font {
    const char* file;
    const char* family;
  };
  for (const Font& font :
       {Font{"LiberationSans-Regular.ttf", "Liberation Sans"},
        Font{"LiberationSans-Bold.ttf", "Liberation Sans"},
        Font{"ComicNeue-Regular.ttf", "Comic Neue"}, Font{"ComicNeue-Bold.ttf", "Comic Neue"}}) {
    const int id = QFontDatabase::addApplicationFont(QString(":/fonts/") + font.file);
    ASSERT_GE(id, 0) << font.file;
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).contains(font.family)) << font.file;
  }
}

// The title sprites move one or two pixels per step without the screen being
// cleared; a silver border of two pixels wipes the trail they leave.
TEST(TitleSprites, HaveASilverBorderThatWipesTheirTrail) {
  const QRgb silver = qRgb(192, 192, 192);
  for (int n = 1; n <= 5; ++n) {
    const QImage sprite = Load("Sprite" + std::to_string(n) + ".png");
    for (int y = 0; y < 50; ++y) {
      for (int x = 0; x < 50; ++x) {
        if (x >= 2 && x < 48 && y >= 2 && y < 48) continue;
        ASSERT_EQ(sprite.pixel(x, y), silver | 0xFF000000u)
            << "Sprite" << n << " at " << x << "," << y;
      }
    }
  }
}

// Country lists copy the flags with pure red as the transparent colour.
TEST(CountryFlags, AreOpaqueAndNeverPureRed) {
  for (const Asset& a : ContractAssets()) {
    if (a.name.rfind("Country", 0) != 0) continue;
    const QImage flag = Load(FileName(a));
    for (int y = 0; y < flag.height(); ++y) {
      for (int x = 0; x < flag.width(); ++x) {
        const QRgb c = flag.pixel(x, y);
        ASSERT_EQ(qAlpha(c), 255) << a.name;
        ASSERT_NE(c, qRgb(255, 0, 0)) << a.name << " at " << x << "," << y;
      }
    }
  }
}

TEST(LanguageFlags, UseSixteenBitsPerChannel) {
  for (const char* language :
       {"Eng", "Rus", "Deu", "Fra", "Esp", "Chi", "Ita", "Cze", "Jap", "Kor"}) {
    const QImage flag(QString(":/assets/Flag") + language + ".png");
    EXPECT_EQ(flag.depth(), 64) << language;
  }
}

// The skinned button recolours its pieces per scheme by swapping and copying
// channels; that gives clean colours only if every piece is a shade of red
// (green equal to blue) and follows the gradient of the standard heights.
TEST(ButtonPieces, AreShadesOfRedThatFollowTheBodyGradient) {
  for (const char* height : {"29", "44", "59"}) {
    for (const char* piece : {"Left", "Right", "Telo", "LeftL", "RightL", "TeloL"}) {
      const std::string name = std::string("B") + height + "_" + piece + ".png";
      const QImage image = Load(name);
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QRgb c = image.pixel(x, y);
          if (qAlpha(c) == 0) continue;
          ASSERT_EQ(qGreen(c), qBlue(c)) << name << " at " << x << "," << y;
          ASSERT_GE(qRed(c), qGreen(c)) << name << " at " << x << "," << y;
        }
      }
    }
  }
  struct Row {
    const char* piece;
    int row;
    QRgb colour;
  };
  for (const Row& r :
       {Row{"B29_Telo", 3, qRgb(247, 62, 62)}, Row{"B29_Telo", 25, qRgb(141, 7, 7)},
        Row{"B29_Telo", 0, qRgb(192, 0, 0)}, Row{"B44_Telo", 4, qRgb(215, 66, 66)},
        Row{"B44_Telo", 0, qRgb(191, 0, 0)}, Row{"B59_Telo", 5, qRgb(252, 83, 83)},
        Row{"B59_Telo", 53, qRgb(154, 44, 44)}, Row{"B29_TeloL", 1, qRgb(255, 255, 255)},
        Row{"B59_TeloL", 56, qRgb(255, 255, 255)}, Row{"B59_Left", 30, qRgb(190, 0, 0)}}) {
    const QImage image = Load(std::string(r.piece) + ".png");
    EXPECT_EQ(image.pixel(image.width() - 1, r.row), r.colour) << r.piece << " row " << r.row;
  }
}

TEST(ResampleTemplate, IsFullyTransparent) {
  const QImage blank = Load("GFree.png");
  for (int y = 0; y < blank.height(); ++y) {
    for (int x = 0; x < blank.width(); ++x) ASSERT_EQ(qAlpha(blank.pixel(x, y)), 0);
  }
}

// Tiles overhang their cell to the right and below; the corners outside the
// tile's silhouette must let the picture underneath show through.
TEST(Tiles, AreSolidInsideAndTransparentAtTheOpenCorners) {
  for (const char* name : {"GKSun1", "GVRak4", "GKObl0", "GVObl0"}) {
    const QImage tile = Load(std::string(name) + ".png");
    EXPECT_EQ(qAlpha(tile.pixel(35, 35)), 255) << name;
    EXPECT_EQ(qAlpha(tile.pixel(76, 76)), 255) << name << ": the side is not solid";
    EXPECT_EQ(qAlpha(tile.pixel(83, 0)), 0) << name;
    EXPECT_EQ(qAlpha(tile.pixel(0, 83)), 0) << name;
  }
}

// The tile leaves the board under frame 10 of the burst, which must cover it;
// no frame may be cut off at the picture's edge.
TEST(Burst, HidesTheTileAtTheFlashAndFadesOutInsideItsPicture) {
  EXPECT_GE(qAlpha(Load("GBax10.png").pixel(50, 80)), 240);
  for (int frame = 1; frame <= 26; ++frame) {
    const QImage image = Load("GBax" + std::to_string(frame) + ".png");
    for (int x = 0; x < image.width(); ++x) {
      ASSERT_EQ(qAlpha(image.pixel(x, 0)), 0) << frame;
      ASSERT_EQ(qAlpha(image.pixel(x, image.height() - 1)), 0) << frame;
    }
    for (int y = 0; y < image.height(); ++y) {
      ASSERT_EQ(qAlpha(image.pixel(0, y)), 0) << frame;
      ASSERT_EQ(qAlpha(image.pixel(image.width() - 1, y)), 0) << frame;
    }
  }
  const QImage last = Load("GBax26.png");
  int visible = 0;
  for (int y = 0; y < last.height(); ++y) {
    for (int x = 0; x < last.width(); ++x) visible += qAlpha(last.pixel(x, y)) > 64 ? 1 : 0;
  }
  EXPECT_LT(visible, 60) << "the burst has not faded out by its last frame";
}

TEST(AccountStars, AnimateOverATransparentBackground) {
  for (const char* star : {"StarR0", "StarY0", "StarG0"}) {
    QImageReader reader(QString(":/assets/") + star + ".gif");
    EXPECT_TRUE(reader.supportsAnimation()) << star;
    int frames = 0;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
      ++frames;
      const QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
      EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0) << star << " frame " << frames;
      EXPECT_EQ(qAlpha(argb.pixel(27, 24)), 255) << star << " frame " << frames;
    }
    EXPECT_GE(frames, 2) << star;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
