#include "ui/CoverWatch.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <utility>

namespace braxo {

CoverWatch::CoverWatch(QWidget& window, std::function<void()> changed)
    : window_(window), changed_(std::move(changed)) {}

CoverWatch::~CoverWatch() {
  if (watching_) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void CoverWatch::Watch() {
  if (watching_ || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  window_id_ = static_cast<std::uint32_t>(window_.winId());
  // Each client has its own event mask on a window; ours is Qt's, so the
  // visibility events are added to it rather than set alone.
  xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, window_id_), nullptr);
  if (attributes == nullptr) return;
  const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
  std::free(attributes);
  xcb_change_window_attributes(connection, window_id_, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
  QCoreApplication::instance()->installNativeEventFilter(this);
  watching_ = true;
}

bool CoverWatch::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_VISIBILITY_NOTIFY) return false;
  const auto* visibility = static_cast<const xcb_visibility_notify_event_t*>(message);
  if (visibility->window != window_id_) return false;
  const bool covered = visibility->state == XCB_VISIBILITY_FULLY_OBSCURED;
  if (covered != covered_) {
    covered_ = covered;
    if (changed_) changed_();
  }
  // Qt may want the event too.
  return false;
}

}  // namespace braxo
