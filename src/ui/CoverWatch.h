// Tells when the main window is fully covered by other windows. Qt reports a
// minimized or hidden window as not exposed, but on X11 not one that other
// windows cover completely; the X server says so in its visibility events.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace braxo {

class CoverWatch : public QAbstractNativeEventFilter {
 public:
  // `changed` runs after every change of FullyCovered().
  CoverWatch(QWidget& window, std::function<void()> changed);
  ~CoverWatch() override;
  CoverWatch(const CoverWatch&) = delete;
  CoverWatch& operator=(const CoverWatch&) = delete;

  // Starts watching once the window has its native window; does nothing on
  // platforms other than X11, or when already watching.
  void Watch();
  bool FullyCovered() const { return covered_; }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private:
  QWidget& window_;
  std::function<void()> changed_;
  std::uint32_t window_id_ = 0;
  bool watching_ = false;
  bool covered_ = false;
};

}  // namespace braxo
