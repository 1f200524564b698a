#include "ui/input_interceptor.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>

namespace varnholt {

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

InputInterceptor::InputInterceptor(std::function<void(PendingInput)> on_input)
    : on_input_(std::move(on_input)) {
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
  const PendingInput input = ClassifyInput(*event);
  if (input != PendingInput::kNone && on_input_) on_input_(input);
  return true;
}

}  // namespace varnholt
