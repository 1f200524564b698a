#include "ui/qt_operator.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <algorithm>
#include <iostream>

#include "services/application.h"
#include "services/message_box.h"
#include "ui/input_interceptor.h"

namespace varnholt {
namespace {

ScopedProjectStatusLine* innermost_line = nullptr;

struct ButtonPair {
  DialogButton code;
  QMessageBox::StandardButton button;
};
constexpr ButtonPair kButtons[] = {{kButtonOk, QMessageBox::Ok},
                                   {kButtonCancel, QMessageBox::Cancel},
                                   {kButtonRetry, QMessageBox::Retry},
                                   {kButtonYes, QMessageBox::Yes},
                                   {kButtonNo, QMessageBox::No}};

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

int QuestionAnswer(int standard_button, ButtonSet offered) {
  for (const ButtonPair& pair : kButtons) {
    if (pair.button == standard_button && Offers(offered, pair.code)) return pair.code;
  }
  for (DialogButton safe : {kButtonCancel, kButtonNo, kButtonOk}) {
    if (Offers(offered, safe)) return safe;
  }
  return kButtonCancel;
}

QtOperator::~QtOperator() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void QtOperator::ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) {
  if (unattended_) {
    std::cerr << MessageBoxTitle(is_error, caption) << ": " << text << '\n';
    return;
  }
  QMessageBox box(is_error ? QMessageBox::Critical : QMessageBox::Information,
                  Text(MessageBoxTitle(is_error, caption)), Text(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  const NestedLoop loop(*this);
  box.exec();
}

int QtOperator::AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) {
  if (unattended_) {
    std::cerr << caption << ": " << text << '\n';
    return QuestionAnswer(QMessageBox::NoButton, buttons);
  }
  QMessageBox box(QMessageBox::Question,
                  caption.empty() ? Text(std::string(kApplicationTitle)) : Text(caption), Text(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  for (const ButtonPair& pair : kButtons) {
    if (Offers(buttons, pair.code)) box.addButton(pair.button);
  }
  const NestedLoop loop(*this);
  return QuestionAnswer(box.exec(), buttons);
}

void QtOperator::SetStatusText(int panel, const std::string& text) {
  if (panel == kProjectStatusPanel && ScopedProjectStatusLine::Route(Text(text))) return;
  if (panel_sink_) panel_sink_(panel, Text(text));
}

void QtOperator::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtOperator::Repaint() {
  const NestedLoop loop(*this);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

PendingInput QtOperator::TakePendingInput() {
  if (pending_.empty()) CollectInput();
  if (pending_.empty()) return PendingInput::kNone;
  const PendingInput input = pending_.front();
  pending_.pop_front();
  return input;
}

void QtOperator::CollectInput() {
  InputInterceptor interceptor([this](PendingInput input) { pending_.push_back(input); });
  const NestedLoop loop(*this);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtOperator::TakeStopInput() {
  CollectInput();
  const auto stop = std::find(pending_.begin(), pending_.end(), PendingInput::kStop);
  if (stop == pending_.end()) return false;
  pending_.erase(stop);
  return true;
}

ScopedProjectStatusLine::ScopedProjectStatusLine(std::function<void(const QString&)> line)
    : line_(std::move(line)), outer_(innermost_line) {
  innermost_line = this;
}

ScopedProjectStatusLine::~ScopedProjectStatusLine() {
  innermost_line = outer_;
}

bool ScopedProjectStatusLine::Route(const QString& text) {
  if (innermost_line == nullptr || !innermost_line->line_) return false;
  innermost_line->line_(text);
  return true;
}

}  // namespace varnholt
