#pragma once
// An operator that stands in for the installed one while a long loop talks to the controller: the first message box
// goes through and later ones are dropped, so a pulled cable is reported once and not once per command.

#include <string>

#include "services/operator.h"

namespace varnholt {

class FirstBoxOnly final : public Operator {
 public:
  // Installs itself in front of the operator in use until it is destroyed.
  FirstBoxOnly() : inner_(CurrentOperator()), installed_(*this) {}

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override {
    if (boxes_++ == 0) inner_.ShowMessageBox(text, is_error, caption);
  }
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override {
    return inner_.AskQuestion(text, buttons, caption);
  }
  void SetStatusText(int panel, const std::string& text) override { inner_.SetStatusText(panel, text); }
  void SetBusyCursor(bool busy) override { inner_.SetBusyCursor(busy); }
  void Repaint() override { inner_.Repaint(); }
  PendingInput TakePendingInput() override { return inner_.TakePendingInput(); }

  // Message boxes asked for so far, shown or dropped.
  int boxes() const { return boxes_; }

 private:
  Operator& inner_;
  ScopedOperator installed_;
  int boxes_ = 0;
};

}  // namespace varnholt
