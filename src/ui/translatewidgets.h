// Window texts in the user-interface language chosen at start: every
// caption, hint, heading, drop-down item and menu entry of a widget tree
// goes through the translation table. Widgets that show catalog data (names
// of categories or products) carry the property "qlData" and are left alone.
#pragma once

#include <QString>

class QMenu;
class QWidget;

namespace ui {

// The language of the window texts (a translation column); fixed at the
// first showing of the main window, while the language of messages may
// change at once through the language menu.
void SetWindowLanguage(int language);

// A German window text in the window language.
QString TrW(const QString& german);

// Translates the texts of `root` and every widget and menu below it (not
// for German), then widens a dialog to show its whole caption.
void TranslateWidgetTree(QWidget* root);

// The width a window needs to show `caption` uncut in its title bar.
int CaptionWidth(const QString& caption);
// Widens a window (a dialog, a message box) to show its whole caption.
void FitCaption(QWidget* window);

// Marks a widget whose items are catalog data.
void MarkDataWidget(QWidget* w);

}  // namespace ui
