#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "TestHttpServer.h"
#include "app/AppServices.h"
#include "game/NullPorts.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;
using testing::TestHttpServer;

// A club whose page offers a package that trickles in without a length.
class DownloadWindowTest : public ::testing::Test {
 protected:
  DownloadWindowTest()
      : server_([this](const RecordedRequest& request) {
          CannedResponse response;
          if (request.target == "/config") {
            response.body = "DownLoad_Link_Braxo=" + server_.Url("Braxo.apk") + "#";
          } else {
            response.mode = CannedResponse::Mode::kDribble;
            response.body = std::string(400, 'P');
            response.delay = std::chrono::milliseconds(10);
            response.send_length = false;
          }
          return response;
        }) {
    const std::string dir = dir_.path().toStdString() + "/";
    paths_ = {dir, dir + "Braxo.ini", dir + "Braxo.clb", dir + "KezUser.kez"};
    setenv("BRAXO_CONFIG_URL", server_.Url("config").c_str(), 1);
  }
  ~DownloadWindowTest() override { unsetenv("BRAXO_CONFIG_URL"); }

  QTemporaryDir dir_;
  DataPaths paths_;
  TestHttpServer server_;
};

TEST_F(DownloadWindowTest, DownloadWithoutALengthIsModalAndCancels) {
  QWidget window;
  window.resize(200, 100);
  window.show();
  testing::NullPorts quiet;
  PictureStore pictures;
  InterfaceLanguage language;
  AppServices services(window, quiet, pictures, language, paths_);
  bool arrived = false;
  services.ReadAnnouncements([&arrived] { arrived = true; });
  QElapsedTimer waited;
  waited.start();
  while (!arrived && waited.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  ASSERT_TRUE(arrived);

  const std::string target = paths_.data_directory + "Braxo.apk";
  std::optional<HttpError> first;
  services.DownloadPackage(target, [&first](HttpError error) { first = error; });
  // The call returns at once, the progress window up and the bytes still
  // trickling in.
  EXPECT_FALSE(first.has_value());
  bool modal_is_progress = false;
  QWidget* modal_parent = nullptr;
  Qt::WindowModality modality = Qt::NonModal;
  bool progress_visible = false;
  std::optional<HttpError> second;
  // While the bytes trickle: look at the windows, try a second download,
  // then press Cancel.
  QTimer::singleShot(150, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    modal_is_progress = modal != nullptr && modal == services.ActiveProgressWindow();
    if (modal != nullptr) {
      modal_parent = modal->parentWidget();
      modality = modal->windowModality();
    }
    progress_visible =
        services.ActiveProgressWindow() != nullptr && services.ActiveProgressWindow()->isVisible();
    services.DownloadPackage(paths_.data_directory + "second.apk",
                             [&second](HttpError error) { second = error; });
    if (QWidget* progress = services.ActiveProgressWindow()) {
      const QList<QPushButton*> buttons = progress->findChildren<QPushButton*>();
      if (buttons.size() == 1) buttons[0]->click();
    }
  });
  QTRY_VERIFY_WITH_TIMEOUT(first.has_value() && second.has_value(), 5000);
  EXPECT_EQ(first, HttpError::kCancelled);

  EXPECT_TRUE(progress_visible);
  // The progress window is the modal one, over the main window: the main
  // window takes no input until it closes.
  EXPECT_TRUE(modal_is_progress);
  EXPECT_EQ(modal_parent, &window);
  EXPECT_EQ(modality, Qt::WindowModal);
  EXPECT_EQ(second, HttpError::kCancelled);
  EXPECT_EQ(services.ActiveProgressWindow(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_FALSE(std::filesystem::exists(paths_.data_directory + "second.apk"));
  int package_requests = 0;
  for (const RecordedRequest& r : server_.Requests()) package_requests += r.target == "/Braxo.apk";
  EXPECT_EQ(package_requests, 1);
}

}  // namespace
}  // namespace braxo
