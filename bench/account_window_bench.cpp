// How long the club account window holds the player before it shows: the
// window reads the club's data when it is created (up to eight requests for
// a logged-in member, four for nobody), against the real braxo-club with a
// fresh database holding five rated members; and the photo upload to a real
// FTP server on loopback.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchClub.h"
#include "ClubServerProcess.h"
#include "FtpServerProcess.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/PhotoUpload.h"
#include "dialogs/AccountWindow.h"
#include "game/NullPorts.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

using bench::kMemberPassword;
std::unique_ptr<testing::ClubServerProcess> club_server;

// range(0): 0 nobody logged in, 1 a logged-in member.
void BM_OpenAccountWindow(benchmark::State& state) {
  bench::Club club(club_server->BaseUrl());
  PictureStore pictures;
  testing::NullPorts world;
  AccountWorkflow account(club.access, world.session, "");
  if (state.range(0) == 1) {
    world.session.current_user = club.waiting.LoginAccount("Kenji", kMemberPassword).user;
    world.session.current_user.password = kMemberPassword;
  }
  for (auto _ : state) {
    world.session.account_state =
        state.range(0) == 1 ? AccountState::kLoggedIn : AccountState::kNobody;
    AccountWindow window(ClubWindowParts{world.language, account, pictures, [](const Notice&) {}},
                         AccountWindowPurpose::kAccountIcon, /*game_in_progress=*/false, nullptr);
    if (!window.ClubData().top_ten.ok) state.SkipWithError("the club did not answer");
  }
}
BENCHMARK(BM_OpenAccountWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_UploadPhoto(benchmark::State& state) {
  QTemporaryDir folder;
  testing::FtpServerProcess ftp(folder.path().toStdString(), "Kenji", kMemberPassword);
  QImage picture(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
  picture.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "JPG", 90);
  const std::string jpeg = bytes.toStdString();
  const std::string address = PhotoUploadAddress(ftp.FolderUrl(), "Kenji");
  for (auto _ : state) {
    if (!UploadPhoto(address, "Kenji", kMemberPassword, jpeg)) state.SkipWithError("upload failed");
  }
}
BENCHMARK(BM_UploadPhoto)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  braxo::club_server = std::make_unique<braxo::testing::ClubServerProcess>();
  if (!braxo::bench::FillClub(braxo::club_server->BaseUrl())) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  braxo::club_server.reset();
  return 0;
}
