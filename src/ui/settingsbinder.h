// Controls bound to fields of the catalog settings: each control writes its
// field as soon as it changes and can be reloaded from the field (after a
// file was opened or a new document made). `changed` runs after every write
// with the name of the setting, so the window can repaint what depends on it.
#pragma once

#include <QFrame>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace ui {

// A colour swatch: a framed rectangle in the colour; a click opens the colour
// dialog preset with it.
class ColorSwatch : public QFrame {
  Q_OBJECT
 public:
  explicit ColorSwatch(QWidget* parent = nullptr);
  void SetColor(TColor c);
  TColor color() const { return color_; }

 signals:
  void clicked();

 protected:
  void mousePressEvent(class QMouseEvent* e) override;
  void paintEvent(class QPaintEvent* e) override;

 private:
  TColor color_ = 0;
};

// Applies a hexadecimal colour box: the colour when the text holds one
// ("#FFAACC", "ffaacc00"); the box is emptied either way. True when set.
bool ApplyHexBox(QLineEdit* box, TColor& color);

class SettingsBinder {
 public:
  using Changed = std::function<void(const char* setting)>;
  SettingsBinder(CatalogSettings& set, QWidget* dialogParent, Changed changed)
      : set_(set), parent_(dialogParent), changed_(std::move(changed)) {}

  // Number boxes accept the range of the setting's row in the settings
  // table (core/settings.h); `name` must be a setting of that table.
  QDoubleSpinBox* Number(const char* name, double& field, double step = 1, int decimals = 2);
  QSpinBox* Integer(const char* name, int32_t& field);
  QCheckBox* Check(const char* name, bool& field, const QString& caption);
  QLineEdit* Text(const char* name, std::u16string& field);
  // A set of radio buttons for fields of which exactly one is on.
  std::vector<QRadioButton*> Exclusive(const char* name, const std::vector<bool*>& fields,
                                       const std::vector<QString>& captions);
  ColorSwatch* Color(const char* name, TColor& field);
  // "Farbe über HEX Code setzen ..." box for a colour.
  QLineEdit* HexBox(const char* name, TColor& field);
  // Font button (font dialog) and "Schriftfarbe setzen..." (colour dialog).
  QPushButton* FontButton(const char* name, TFontSpec& field, const QString& caption);
  QPushButton* FontColorButton(const char* name, TFontSpec& field, const QString& caption);

  // Shows every field's current value in its control (without writing back).
  void LoadAll();
  CatalogSettings& settings() { return set_; }

 private:
  void Notify(const char* name) {
    if (changed_ && !loading_) changed_(name);
  }

  CatalogSettings& set_;
  QWidget* parent_;
  Changed changed_;
  bool loading_ = false;
  std::vector<std::function<void()>> loaders_;
};

// TFontSpec <-> QFont for the font dialog (the logical name is kept as the
// family; colour, character set and pitch stay with the setting).
class QFont MakeDialogFont(const TFontSpec& f);
void TakeDialogFont(const class QFont& q, TFontSpec& f);

}  // namespace ui
