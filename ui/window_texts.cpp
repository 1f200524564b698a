#include "ui/window_texts.h"

#include <optional>

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

#include "services/interfejs.h"
#include "services/language_file.h"

namespace varnholt {
namespace {

// The text of the first key the section holds.
std::optional<QString> FirstText(const tInterfejs& texts, std::string_view section, const std::string& name,
                                 std::initializer_list<std::string_view> suffixes) {
  for (std::string_view suffix : suffixes) {
    const std::string text = texts.GetText(section, name + std::string(suffix));
    if (text != kMissingText) return QString::fromStdString(text);
  }
  return std::nullopt;
}

void SetCaption(QObject& object, const QString& caption) {
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
    button->setText(caption);
  } else if (auto* label = qobject_cast<QLabel*>(&object)) {
    label->setText(caption);
  } else if (auto* group = qobject_cast<QGroupBox*>(&object)) {
    group->setTitle(caption);
  } else if (auto* menu = qobject_cast<QMenu*>(&object)) {
    menu->setTitle(caption);
  } else if (auto* action = qobject_cast<QAction*>(&object)) {
    action->setText(caption);
  }
}

void SetHint(QObject& object, const QString& hint) {
  if (auto* widget = qobject_cast<QWidget*>(&object)) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
  } else if (auto* action = qobject_cast<QAction*>(&object)) {
    action->setToolTip(hint);
    action->setStatusTip(hint);
  }
}

void ApplyToObject(QObject& object, const tInterfejs& texts, std::string_view section) {
  const std::string name = object.objectName().toStdString();
  if (name.empty()) return;
  if (auto caption = FirstText(texts, section, name, {".Caption", ".caption"})) SetCaption(object, *caption);
  if (auto hint = FirstText(texts, section, name, {".hint", ".Hint"})) SetHint(object, *hint);
}

// A tab's title is its page's caption.
void ApplyToTabs(QTabWidget& tabs, const tInterfejs& texts, std::string_view section) {
  for (int i = 0; i < tabs.count(); ++i) {
    const std::string name = tabs.widget(i)->objectName().toStdString();
    if (name.empty()) continue;
    if (auto caption = FirstText(texts, section, name, {".Caption", ".caption"})) tabs.setTabText(i, *caption);
  }
}

}  // namespace

QString LanguageText(const tInterfejs& texts, std::string_view section, std::string_view key) {
  return QString::fromStdString(texts.GetText(section, key));
}

void ApplyTexts(QWidget& window, const tInterfejs& texts, std::string_view section) {
  const std::string title = texts.GetText(section, "caption");
  if (title != kMissingText) window.setWindowTitle(QString::fromStdString(title));
  for (QObject* child : window.findChildren<QObject*>()) ApplyToObject(*child, texts, section);
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) ApplyToTabs(*tabs, texts, section);
}

void ApplyItemTexts(const std::vector<QAbstractButton*>& items, const tInterfejs& texts, std::string_view section,
                    std::string_view key_prefix) {
  for (size_t i = 0; i < items.size(); ++i) {
    items[i]->setText(LanguageText(texts, section, std::string(key_prefix) + std::to_string(i)));
  }
}

void ApplyReadingOrder(QWidget& window, const tInterfejs& texts) {
  window.setLayoutDirection(texts.right_to_left() ? Qt::RightToLeft : Qt::LeftToRight);
}

}  // namespace varnholt
