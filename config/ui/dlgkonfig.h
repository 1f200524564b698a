#pragma once
// The configuration dialog: the two pages of machine parameters the operator edits, AutoSave, saving to and
// loading from other configuration files, OK and Cancel over the configuration logic.

#include <QDialog>
#include <QString>
#include <functional>
#include <span>
#include <vector>

#include "config/konfig.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QTabWidget;

namespace varnholt {

struct DialogFieldRow;
class ParamField;
class tInterfejs;

class TDlgkonfig final : public QDialog {
 public:
  // What the dialog needs of the program around it; each may be left empty.
  struct Links {
    // The feed direction changed: every open project takes this feed sign.
    std::function<void(int feed_sign)> feed_sign_changed;
    // True when the connected controller is a Qo (its vertical wires have no power of their own).
    std::function<bool()> model_is_qo;
  };

  // Creation at program start: captions, the settings record read and the configuration file loaded (a
  // failure is shown and the values read so far stay), the caption set to the configuration file.
  TDlgkonfig(Konfig& konfig, const tInterfejs& texts, Links links, QWidget* parent = nullptr);
  ~TDlgkonfig() override;
  TDlgkonfig(const TDlgkonfig&) = delete;
  TDlgkonfig& operator=(const TDlgkonfig&) = delete;

  Konfig& konfig() { return konfig_; }
  // The program file's date for the About window; the text of "dataNieznana" when it cannot be told.
  const QString& ProgramDate() const { return program_date_; }
  // Selects page 0 (working parameters) or 1 (plotter).
  void ShowPage(int page);

  // OK: scale factors after a calibration change, the settings record, the configuration file when AutoSave
  // is on.
  void accept() override;
  // Cancel (also Escape and the window's close button): the values and the configuration file of the moment the
  // dialog was shown come back.
  void reject() override;

 protected:
  // Each time the dialog is shown: model maxima, enabling rules, display unit, the snapshot for Cancel.
  void showEvent(QShowEvent* event) override;

 private:
  void Build();
  QWidget* BuildWorkPage();
  QWidget* BuildPlotterPage();
  // A group of number fields, each with its caption and unit label.
  QGroupBox* FieldGroup(QWidget* page, const char* name, std::span<const DialogFieldRow> rows);
  // Shows every parameter's current value.
  void Refresh();
  // Unit-aware fields and unit labels follow CurrentUnit; the projects take the feed sign.
  void ApplyUnit();
  void SaveAs();
  void LoadFrom();
  void UpdateCaption();

  Konfig& konfig_;
  const tInterfejs& texts_;
  Links links_;
  QString program_date_;
  QTabWidget* pages_ = nullptr;
  std::vector<ParamField*> fields_;
  std::vector<QAbstractButton*> cat_dir_;
  QCheckBox* auto_save_ = nullptr;
  // Unit labels of lengths and speeds, which follow the display unit.
  std::vector<QLabel*> length_labels_;
  std::vector<QLabel*> speed_labels_;
  // The vertical wires' power field and its two labels.
  std::vector<QWidget*> vertical_wire_;
};

}  // namespace varnholt
