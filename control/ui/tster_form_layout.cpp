// The control panel window's controls, their layout and their texts.

#include <tuple>

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "control/ui/tster_form.h"
#include "services/interfejs.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr const char* kSection = "Control";
constexpr int kJogButtonSize = 60;
constexpr int kPositionPointSize = 22;

template <typename Widget>
Widget* Named(const char* name, QWidget* parent) {
  auto* widget = new Widget(parent);
  widget->setObjectName(name);
  return widget;
}

QToolButton* ArrowButton(const char* name, QStyle::StandardPixmap picture, QWidget* parent) {
  auto* button = Named<QToolButton>(name, parent);
  button->setIcon(parent->style()->standardIcon(picture));
  button->setFixedSize(kJogButtonSize, kJogButtonSize);
  button->setIconSize(QSize(kJogButtonSize / 2, kJogButtonSize / 2));
  // The keys belong to the panel: a focused button would take Space for a click.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

QPushButton* Button(const char* name, QWidget* parent, bool checkable = false) {
  auto* button = Named<QPushButton>(name, parent);
  button->setCheckable(checkable);
  button->setAutoDefault(false);
  button->setMinimumHeight(button->fontMetrics().height() + 16);
  return button;
}

QSlider* Bar(const char* name, QWidget* parent) {
  auto* bar = Named<QSlider>(name, parent);
  bar->setOrientation(Qt::Horizontal);
  bar->setFocusPolicy(Qt::NoFocus);  // End and the arrows would move a focused bar; the panel has its own keys
  bar->setMinimumWidth(180);
  return bar;
}

// A read-only value: a sunken panel wide enough for sample.
QLabel* Value(const char* name, QWidget* parent, const QString& sample = QStringLiteral("00000")) {
  auto* label = Named<QLabel>(name, parent);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sample) + 12);
  return label;
}

QLabel* Position(const char* name, QWidget* parent) {
  auto* label = Named<QLabel>(name, parent);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kPositionPointSize);
  font.setBold(true);
  label->setFont(font);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("-0000.000")) + 16);
  return label;
}

QLabel* WireFault(const char* name, QWidget* parent) {
  auto* label = Named<QLabel>(name, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
  label->setMinimumHeight(label->fontMetrics().height());
  return label;
}

// A bar with its caption above and its value beside it, in two rows of grid from row on.
std::tuple<QLabel*, QSlider*, QLabel*> AddBar(QGridLayout& grid, int row, QWidget* parent, const char* caption_name,
                                              const char* bar_name, const char* value_name) {
  auto* caption = Named<QLabel>(caption_name, parent);
  QSlider* bar = Bar(bar_name, parent);
  QLabel* value = Value(value_name, parent);
  grid.addWidget(caption, row, 0, 1, 2);
  grid.addWidget(bar, row + 1, 0);
  grid.addWidget(value, row + 1, 1);
  return {caption, bar, value};
}

}  // namespace

void TsterForm::BuildControls() {
  auto* groups = new QHBoxLayout;
  groups->addWidget(BuildArms(), 3);
  groups->addWidget(BuildConveyor(), 2);

  c_.keyprzesun = Button("keyprzesun", this);
  c_.btnUpgrade = Button("btnUpgrade", this);
  c_.Zamknij = Button("Zamknij", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(c_.keyprzesun);
  buttons->addWidget(c_.btnUpgrade);
  buttons->addStretch();
  buttons->addWidget(c_.Zamknij);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  layout->addWidget(BuildTestPanel());
  layout->addWidget(BuildServicePanel());
  layout->setSizeConstraint(QLayout::SetFixedSize);  // the hidden panels grow and shrink the window
}

QWidget* TsterForm::BuildArms() {
  auto* group = Named<QGroupBox>("gbRamiona", this);
  auto* pad = new QGridLayout;
  pad->setSpacing(4);
  c_.ku = ArrowButton("ku", QStyle::SP_ArrowUp, group);
  c_.kl = ArrowButton("kl", QStyle::SP_ArrowLeft, group);
  c_.kr = ArrowButton("kr", QStyle::SP_ArrowRight, group);
  c_.kd = ArrowButton("kd", QStyle::SP_ArrowDown, group);
  c_.kstop = ArrowButton("kstop", QStyle::SP_MediaStop, group);
  pad->addWidget(c_.ku, 0, 1);
  pad->addWidget(c_.kl, 1, 0);
  pad->addWidget(c_.kstop, 1, 1);
  pad->addWidget(c_.kr, 1, 2);
  pad->addWidget(c_.kd, 2, 1);

  auto* positions = new QGridLayout;
  c_.wmx = Position("wmx", group);
  c_.wmy = Position("wmy", group);
  c_.wmxJm = Named<QLabel>("wmxJm", group);
  c_.wmyJm = Named<QLabel>("wmyJm", group);
  positions->addWidget(Named<QLabel>("lwmx", group), 0, 0);
  positions->addWidget(c_.wmx, 0, 1);
  positions->addWidget(c_.wmxJm, 0, 2);
  positions->addWidget(Named<QLabel>("lwmy", group), 1, 0);
  positions->addWidget(c_.wmy, 1, 1);
  positions->addWidget(c_.wmyJm, 1, 2);
  positions->setRowStretch(2, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(pad);
  top->addSpacing(12);
  top->addLayout(positions, 1);

  c_.k_zalwyl = Button("k_zalwyl", group, true);
  c_.Bazuj = Button("Bazuj", group);
  auto* actions = new QHBoxLayout;
  actions->addWidget(c_.k_zalwyl);
  actions->addWidget(c_.Bazuj);

  c_.stan_drutu = WireFault("stan_drutu", group);
  auto* bars = new QGridLayout;
  std::tie(c_.SpeedCaption, c_.VScroll, c_.SpeedLabel) =
      AddBar(*bars, 0, group, "SpeedCaption", "VScroll", "SpeedLabel");
  std::tie(c_.PowerCaption, c_.PScroll, c_.PowerLabel) =
      AddBar(*bars, 2, group, "PowerCaption", "PScroll", "PowerLabel");

  auto* layout = new QVBoxLayout(group);
  layout->addLayout(top);
  layout->addLayout(actions);
  layout->addWidget(c_.stan_drutu);
  layout->addLayout(bars);
  layout->addStretch();
  return group;
}

QWidget* TsterForm::BuildConveyor() {
  auto* group = Named<QGroupBox>("gbTasmociag", this);
  c_.ktl = ArrowButton("ktl", QStyle::SP_ArrowLeft, group);
  c_.ktr = ArrowButton("ktr", QStyle::SP_ArrowRight, group);
  c_.wmz = Position("wmz", group);
  c_.wmzJm = Named<QLabel>("wmzJm", group);
  auto* top = new QHBoxLayout;
  top->addWidget(c_.ktl);
  top->addWidget(c_.ktr);
  top->addSpacing(12);
  top->addWidget(Named<QLabel>("lwmz", group));
  top->addWidget(c_.wmz, 1);
  top->addWidget(c_.wmzJm);

  c_.k_zalwyl_pionowe = Button("k_zalwyl_pionowe", group, true);
  c_.btnPrzesunDoRamion = Button("btnPrzesunDoRamion", group);
  c_.stan_DrutuPionowego = WireFault("stan_DrutuPionowego", group);

  auto* bars = new QGridLayout;
  std::tie(c_.speedTasmaCaption, c_.VScrollTasma, c_.speedTasmaLabel) =
      AddBar(*bars, 0, group, "speedTasmaCaption", "VScrollTasma", "speedTasmaLabel");
  std::tie(c_.powerPionoweCaption, c_.PScrollPionowe, c_.powerPionoweLabel) =
      AddBar(*bars, 2, group, "powerPionoweCaption", "PScrollPionowe", "powerPionoweLabel");

  c_.rgTasma = Named<QGroupBox>("rgTasma", group);
  auto* belts = new QVBoxLayout(c_.rgTasma);
  for (QRadioButton*& item : c_.belts) {
    item = new QRadioButton(c_.rgTasma);
    belts->addWidget(item);
  }
  c_.belts[0]->setChecked(true);

  auto* layout = new QVBoxLayout(group);
  layout->addLayout(top);
  layout->addWidget(c_.k_zalwyl_pionowe);
  layout->addWidget(c_.btnPrzesunDoRamion);
  layout->addWidget(c_.stan_DrutuPionowego);
  layout->addLayout(bars);
  layout->addWidget(c_.rgTasma);
  layout->addStretch();
  return group;
}

QWidget* TsterForm::BuildTestPanel() {
  c_.pTestowy = Named<QGroupBox>("pTestowy", this);
  QWidget* panel = c_.pTestowy;
  auto* bits = new QHBoxLayout;
  for (auto [box, name] : {std::pair{&c_.cbSbRun, "cbSbRun"}, std::pair{&c_.cbSbWork, "cbSbWork"},
                           std::pair{&c_.cbSbZadanieStartu, "cbSbZadanieStartu"},
                           std::pair{&c_.cbSbZadanieStopu, "cbSbZadanieStopu"}, std::pair{&c_.cbSbPower, "cbSbPower"}}) {
    *box = Named<QCheckBox>(name, panel);
    // The boxes show status bits; only the controller sets them.
    (*box)->setAttribute(Qt::WA_TransparentForMouseEvents);
    (*box)->setFocusPolicy(Qt::NoFocus);
    bits->addWidget(*box);
  }
  bits->addStretch();

  auto* grid = new QGridLayout;
  const QString sample = QStringLiteral("speedNieznana 000");
  c_.lSelPwr = Value("lSelPwr", panel, sample);
  c_.lSelSpeed = Value("lSelSpeed", panel, sample);
  c_.lSelOut = Value("lSelOut", panel, sample);
  grid->addWidget(c_.lSelPwr, 0, 1, 1, 2);
  grid->addWidget(c_.lSelSpeed, 0, 3, 1, 2);
  grid->addWidget(c_.lSelOut, 0, 5);
  grid->addWidget(Named<QLabel>("lPredkosci", panel), 1, 0);
  c_.lSpeed = Value("lSpeed", panel);
  grid->addWidget(c_.lSpeed, 1, 1);
  const char* group_names[] = {"speed_p", "speed_r", "speed_m", "speed_pol"};
  for (size_t group = 0; group < c_.group_speeds.size(); ++group) {
    c_.group_speeds[group] = Value(group_names[group], panel);
    grid->addWidget(c_.group_speeds[group], 1, static_cast<int>(group) + 2);
  }
  grid->addWidget(Named<QLabel>("lMoc", panel), 2, 0);
  c_.lPower = Value("lPower", panel);
  grid->addWidget(c_.lPower, 2, 1);
  grid->addWidget(Named<QLabel>("lOsie", panel), 3, 0);
  const QString axis_sample = QStringLiteral("-00000.00");
  c_.third1 = Value("third1", panel, axis_sample);
  c_.third2 = Value("third2", panel, axis_sample);
  c_.belt3 = Value("belt3", panel, axis_sample);
  grid->addWidget(c_.third1, 3, 1);
  grid->addWidget(c_.third2, 3, 2);
  grid->addWidget(c_.belt3, 3, 3);
  grid->setColumnStretch(6, 1);

  auto* layout = new QVBoxLayout(panel);
  layout->addLayout(bits);
  layout->addLayout(grid);
  panel->hide();
  return panel;
}

QWidget* TsterForm::BuildServicePanel() {
  c_.pSerwis = Named<QGroupBox>("pSerwis", this);
  QWidget* panel = c_.pSerwis;
  auto* grid = new QGridLayout(panel);
  grid->addWidget(Named<QLabel>("lChwilowa", panel), 0, 0);
  c_.instantaneous_speed = Value("lSpeedChwilowa", panel);
  grid->addWidget(c_.instantaneous_speed, 0, 1);
  grid->addWidget(Named<QLabel>("lDodatkowe", panel), 1, 0);
  c_.extra1 = Value("lExtra1", panel);
  c_.extra2 = Value("lExtra2", panel);
  grid->addWidget(c_.extra1, 1, 1);
  grid->addWidget(c_.extra2, 1, 2);
  grid->addWidget(Named<QLabel>("lBledyLacza", panel), 2, 0);
  c_.link_errors = Value("lLinkErrors", panel, QStringLiteral("00000/00000"));
  grid->addWidget(c_.link_errors, 2, 1);
  grid->setColumnStretch(3, 1);
  panel->hide();
  return panel;
}

void TsterForm::ApplyLanguage() {
  const tInterfejs& texts = link_.texts;
  ApplyTexts(*this, texts, kSection);
  ApplyItemTexts({c_.belts.begin(), c_.belts.end()}, texts, kSection, "rgTasma.items");
  // Controls whose keys do not follow their component names.
  struct Text {
    QAbstractButton* button;
    const char* section;
    const char* key;
  };
  for (const Text& text : {Text{c_.k_zalwyl, kSection, "k_zalwyl.Hint"}, Text{c_.Bazuj, kSection, "bazuj.caption"},
                           Text{c_.Zamknij, kSection, "zamknij.caption"},
                           Text{c_.btnPrzesunDoRamion, "Main_window", "SpeedPrzesunDoRamion.hint"}}) {
    const QString caption = LanguageText(texts, text.section, text.key);
    text.button->setText(caption);
    text.button->setToolTip(caption);
  }
  findChild<QGroupBox*>("gbRamiona")->setTitle(LanguageText(texts, "Configuration", "gbRamiona.caption"));
  findChild<QGroupBox*>("gbTasmociag")->setTitle(LanguageText(texts, "Configuration", "gbTasmociag.caption"));
  conveyor_speed_caption_ = c_.speedTasmaCaption->text();
  ApplyReadingOrder(*this, texts);
}

}  // namespace varnholt
