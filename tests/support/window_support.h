#pragma once
// What window tests share: an operator that records its boxes instead of showing them, file dialogs answered
// from a script, a program folder holding the shipped language files, and drawings written as plot files.

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "services/operator.h"
#include "support/temp_folder.h"
#include "ui/file_chooser.h"
#include "ui/qt_operator.h"

namespace varnholt::testing {

// The Qt operator with its boxes recorded and its questions answered from a script (else the safe choice).
class RecordingQtOperator final : public QtOperator {
 public:
  struct Box {
    std::string text;
    bool is_error = false;
    std::string caption;
  };

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override {
    boxes.push_back({text, is_error, caption});
  }
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override {
    boxes.push_back({text, false, caption});
    if (answers.empty()) return QuestionAnswer(0, buttons);
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetStatusText(int panel, const std::string& text) override {
    status.push_back({panel, text});
    if (on_status) on_status(panel, text);
    QtOperator::SetStatusText(panel, text);
  }

  std::vector<Box> boxes;
  std::deque<int> answers;
  std::vector<std::pair<int, std::string>> status;
  std::function<void(int, const std::string&)> on_status;
};

// File dialogs that return the queued answers in order; nothing (cancelled) when none is left.
class ScriptedFileChooser final : public FileChooser {
 public:
  ScriptedFileChooser() { SetFileChooser(this); }
  ~ScriptedFileChooser() override { SetFileChooser(nullptr); }
  ScriptedFileChooser(const ScriptedFileChooser&) = delete;
  ScriptedFileChooser& operator=(const ScriptedFileChooser&) = delete;

  std::optional<FileChoice> ChooseOpen(QWidget*, const FileDialogRequest& request) override {
    return Next(request);
  }
  std::optional<FileChoice> ChooseSave(QWidget*, const FileDialogRequest& request) override {
    return Next(request);
  }

  // The answers in order; one with an empty path is a cancelled dialog.
  std::deque<FileChoice> answers;
  std::vector<FileDialogRequest> requests;

 private:
  std::optional<FileChoice> Next(const FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    const FileChoice answer = answers.front();
    answers.pop_front();
    if (answer.path.isEmpty()) return std::nullopt;
    return answer;
  }
};

// A temporary program folder with the shipped language files the build placed in language_dir.
inline void CopyLanguageFiles(const std::string& language_dir, const TempFolder& folder) {
  for (const char* code : {"PL", "US", "DE"}) {
    const std::string name = std::string("Varnholt_") + code + ".xml";
    std::filesystem::copy_file(std::filesystem::path(language_dir) / name, folder.PathOf(name),
                               std::filesystem::copy_options::overwrite_existing);
  }
}

// A plot file of closed squares: count of them in a row, side units wide, gap units apart.
inline std::string SquaresPlot(int count, int side = 4000, int gap = 2000) {
  std::string text = "IN;SP1;";
  for (int i = 0; i < count; ++i) {
    const int x = i * (side + gap);
    text += "PU" + std::to_string(x) + ",0;PD" + std::to_string(x + side) + ",0," + std::to_string(x + side) +
            "," + std::to_string(side) + "," + std::to_string(x) + "," + std::to_string(side) + "," +
            std::to_string(x) + ",0;";
  }
  return text + "PU;";
}

// The control of a window by its component name; a missing one ends the test with its name.
template <typename Widget>
Widget& Child(QWidget& window, const char* name) {
  auto* child = window.findChild<Widget*>(name);
  if (child == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *child;
}

// Lets queued events and due timers run for a while of real time.
inline void ProcessEventsFor(int ms) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

}  // namespace varnholt::testing
