#include "ui/input_interceptor.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace varnholt {
namespace {

MissedReleaseWatch* innermost_watch = nullptr;

}  // namespace

MissedReleaseWatch::MissedReleaseWatch() : outer_(innermost_watch) { innermost_watch = this; }

MissedReleaseWatch::~MissedReleaseWatch() { innermost_watch = outer_; }

bool MissedReleaseWatch::KeyReleased(int qt_key, quint32 native_scan_code) const {
  for (const Release& release : releases_) {
    const bool same = native_scan_code != 0 && release.scan_code != 0 ? release.scan_code == native_scan_code
                                                                        : release.key == qt_key;
    if (same) return true;
  }
  return false;
}

void MissedReleaseWatch::Note(const QEvent& event) {
  if (innermost_watch == nullptr) return;
  if (event.type() == QEvent::KeyRelease) {
    const auto& key = static_cast<const QKeyEvent&>(event);
    if (!key.isAutoRepeat()) innermost_watch->releases_.push_back({key.key(), key.nativeScanCode()});
  } else if (event.type() == QEvent::MouseButtonRelease) {
    if (static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton) innermost_watch->left_released_ = true;
  }
}

PendingInput ClassifyInput(const QEvent& event) {
  switch (event.type()) {
    case QEvent::KeyPress:
      return PendingInput::kKeyPress;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return static_cast<const QMouseEvent&>(event).button() == Qt::LeftButton ? PendingInput::kLeftPress
                                                                               : PendingInput::kOther;
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::Wheel:
      return PendingInput::kOther;
    default:
      return PendingInput::kNone;
  }
}

PendingInput ClassifyInput(const QObject* target, const QEvent& event) {
  const PendingInput input = ClassifyInput(event);
  if (input == PendingInput::kKeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(event);
    if (key.key() == Qt::Key_Space && !key.isAutoRepeat()) return PendingInput::kStop;
  }
  if (input == PendingInput::kLeftPress && target != nullptr) {
    const QString name = target->objectName();
    if (name == QLatin1String("SpeedStop") || name == QLatin1String("kstop")) return PendingInput::kStop;
  }
  return input;
}

bool IsOperatorInput(const QEvent& event) {
  // The shortcut map makes its own override event of a key press, which need not be marked spontaneous.
  if (event.type() == QEvent::ShortcutOverride) return true;
  if (!event.spontaneous()) return false;
  switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

InputInterceptor::InputInterceptor(std::function<void(PendingInput)> on_input, std::function<bool(int)> on_key)
    : on_input_(std::move(on_input)), on_key_(std::move(on_key)) {
  if (QCoreApplication* application = QCoreApplication::instance()) application->installEventFilter(this);
}

InputInterceptor::~InputInterceptor() {
  if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
}

bool InputInterceptor::eventFilter(QObject* watched, QEvent* event) {
  if (!IsOperatorInput(*event)) return QObject::eventFilter(watched, event);
  // An accepted override keeps the key from triggering a shortcut; the key press itself comes next.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::Close) event->ignore();
  MissedReleaseWatch::Note(*event);
  if (on_key_ && event->type() == QEvent::KeyPress && on_key_(static_cast<const QKeyEvent*>(event)->key())) {
    return true;
  }
  const PendingInput input = ClassifyInput(watched, *event);
  if (input != PendingInput::kNone && on_input_) on_input_(input);
  return true;
}

}  // namespace varnholt
