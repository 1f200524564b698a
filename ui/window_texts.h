#pragma once
// Texts applied to a window by component name: each control's objectName is its component name, and its caption and
// hint come from the keys "<name>.Caption" and "<name>.hint" of the window's language section.

#include <string>
#include <string_view>
#include <vector>

#include <QString>

class QAbstractButton;
class QWidget;

namespace varnholt {

class tInterfejs;

// A language text as Qt wants it.
QString LanguageText(const tInterfejs& texts, std::string_view section, std::string_view key);

// Sets the caption and hint of the window and of every named descendant (widgets, actions, menus) whose keys the
// section holds; the window's own title comes from the key "caption". Keys are matched as "<name>.Caption" or
// "<name>.caption" and "<name>.hint" or "<name>.Hint"; a control without keys keeps its text. A hint becomes the
// tool tip and the status tip, so the status bar shows it under the mouse. A tab's title is the caption of its page.
void ApplyTexts(QWidget& window, const tInterfejs& texts, std::string_view section);

// Sets the items of a choice from the keys key_prefix + 0, 1, ... ("catdir.Item0", "catdir.Item1", ...).
void ApplyItemTexts(const std::vector<QAbstractButton*>& items, const tInterfejs& texts, std::string_view section,
                    std::string_view key_prefix);

// Lays the window out right to left when the language is written that way.
void ApplyReadingOrder(QWidget& window, const tInterfejs& texts);

}  // namespace varnholt
