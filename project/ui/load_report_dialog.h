#pragma once
// The list of what loading a drawing passed over or changed, opened from the project's status line.

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace varnholt {

class tInterfejs;

class LoadReportDialog final : public QDialog {
 public:
  LoadReportDialog(const tInterfejs& texts, const QString& file_name, const std::vector<std::string>& lines,
                   QWidget* parent = nullptr);

  // The lines as the report shows them.
  QString Text() const;

 private:
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace varnholt
