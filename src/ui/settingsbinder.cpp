#include "ui/settingsbinder.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "core/settingstable.h"
#include "imaging/qtdib.h"
#include "ui/undohistory.h"

namespace ui {

ColorSwatch::ColorSwatch(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setFixedSize(48, 22);
  setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::SetColor(TColor c) {
  color_ = c;
  update();
}

void ColorSwatch::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit clicked();
}

void ColorSwatch::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  p.fillRect(rect(), QColor(TColorToQRgb(color_)));
  p.setPen(Qt::black);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

bool ApplyHexBox(QLineEdit* box, TColor& color) {
  TColor c = 0;
  const bool ok = ParseHexColor(box->text().toStdU16String(), c);
  if (ok) color = c;
  box->clear();
  return ok;
}

namespace {
bool PickColor(QWidget* parent, TColor& c) {
  const QColor chosen = QColorDialog::getColor(QColor(TColorToQRgb(c)), parent, QString());
  if (!chosen.isValid()) return false;
  c = QRgbToTColor(chosen.rgb());
  return true;
}

// The table row of a setting a number box edits. A name missing from the
// table is a mistake in the tab that builds the box, not a user's input.
const SettingRange& TableRow(const char* name, SettingKind kind) {
  const SettingRange* r = FindSetting(name);
  if (!r || r->kind != kind) qFatal("setting %s: no number of that kind in the settings table", name);
  return *r;
}

}  // namespace

QDoubleSpinBox* SettingsBinder::Number(const char* name, double& field, double step, int decimals) {
  const SettingRange& r = TableRow(name, SettingKind::MM);
  auto* w = new QDoubleSpinBox;
  w->setObjectName(QString::fromLatin1(name));
  w->setRange(r.lo, r.hi);
  w->setSingleStep(step);
  w->setDecimals(decimals);
  w->setKeyboardTracking(false);
  QObject::connect(w, qOverload<double>(&QDoubleSpinBox::valueChanged), w, [this, &field, name](double v) {
    field = v;
    Notify(name);
  });
  loaders_.push_back([w, &field] {
    const QSignalBlocker block(w);
    w->setValue(field);
  });
  return w;
}

QSpinBox* SettingsBinder::Integer(const char* name, int32_t& field) {
  const SettingRange& r = TableRow(name, SettingKind::INT);
  auto* w = new QSpinBox;
  w->setObjectName(QString::fromLatin1(name));
  w->setRange(int(r.lo), int(r.hi));
  w->setKeyboardTracking(false);
  QObject::connect(w, qOverload<int>(&QSpinBox::valueChanged), w, [this, &field, name](int v) {
    field = v;
    Notify(name);
  });
  loaders_.push_back([w, &field] {
    const QSignalBlocker block(w);
    w->setValue(field);
  });
  return w;
}

QCheckBox* SettingsBinder::Check(const char* name, bool& field, const QString& caption) {
  auto* w = new QCheckBox(caption);
  w->setObjectName(QString::fromLatin1(name));
  QObject::connect(w, &QCheckBox::toggled, w, [this, &field, name](bool on) {
    field = on;
    Notify(name);
  });
  loaders_.push_back([w, &field] {
    const QSignalBlocker block(w);
    w->setChecked(field);
  });
  return w;
}

QLineEdit* SettingsBinder::Text(const char* name, std::u16string& field) {
  auto* w = new QLineEdit;
  w->setObjectName(QString::fromLatin1(name));
  w->setProperty(kStoresAtOnce, true);
  QObject::connect(w, &QLineEdit::textEdited, w, [this, &field, name](const QString& t) {
    field = t.toStdU16String();
    Notify(name);
  });
  loaders_.push_back([w, &field] {
    const QString t = QString::fromStdU16String(field);
    const QSignalBlocker block(w);
    if (w->text() != t) w->setText(t);
  });
  return w;
}

std::vector<QRadioButton*> SettingsBinder::Exclusive(const char* name, const std::vector<bool*>& fields,
                                                     const std::vector<QString>& captions) {
  std::vector<QRadioButton*> out;
  for (size_t i = 0; i < fields.size(); ++i) {
    auto* w = new QRadioButton(captions[i]);
    w->setObjectName(QString::fromLatin1(name) + QString::number(i));
    out.push_back(w);
  }
  for (size_t i = 0; i < fields.size(); ++i) {
    QObject::connect(out[i], &QRadioButton::toggled, out[i], [this, fields, i, name](bool on) {
      if (!on) return;
      for (size_t k = 0; k < fields.size(); ++k) *fields[k] = (k == i);
      Notify(name);
    });
  }
  loaders_.push_back([out, fields] {
    // A file holding none (or several) on: the first that is on wins, else the last.
    size_t pick = fields.size() - 1;
    for (size_t k = 0; k < fields.size(); ++k)
      if (*fields[k]) {
        pick = k;
        break;
      }
    for (size_t k = 0; k < out.size(); ++k) {
      const QSignalBlocker block(out[k]);
      out[k]->setChecked(k == pick);
    }
  });
  return out;
}

ColorSwatch* SettingsBinder::Color(const char* name, TColor& field) {
  auto* w = new ColorSwatch;
  w->setObjectName(QString::fromLatin1(name));
  QObject::connect(w, &ColorSwatch::clicked, w, [this, w, &field, name] {
    if (!PickColor(parent_, field)) return;
    w->SetColor(field);
    Notify(name);
  });
  loaders_.push_back([w, &field] { w->SetColor(field); });
  return w;
}

QLineEdit* SettingsBinder::HexBox(const char* name, TColor& field) {
  auto* w = new QLineEdit;
  w->setObjectName(QString::fromLatin1(name) + QStringLiteral("Hex"));
  w->setMaximumWidth(90);
  w->setToolTip(QStringLiteral("Farbe über HEX Code setzen z.B. #FFAACC (Eingabe mit Enter bestätigen)"));
  QObject::connect(w, &QLineEdit::returnPressed, w, [this, w, &field, name] {
    if (ApplyHexBox(w, field)) {
      LoadAll();  // the swatch beside the box shows the new colour
      Notify(name);
    }
  });
  return w;
}

QFont MakeDialogFont(const TFontSpec& f) {
  QFont q(QString::fromStdU16String(f.name));
  q.setPointSize(f.size > 0 ? f.size : 10);
  q.setBold(f.bold);
  q.setItalic(f.italic);
  q.setUnderline(f.underline);
  q.setStrikeOut(f.strikeout);
  return q;
}

void TakeDialogFont(const QFont& q, TFontSpec& f) {
  f.name = q.family().toStdU16String();
  if (q.pointSize() > 0) f.size = q.pointSize();
  f.bold = q.bold();
  f.italic = q.italic();
  f.underline = q.underline();
  f.strikeout = q.strikeOut();
}

QPushButton* SettingsBinder::FontButton(const char* name, TFontSpec& field, const QString& caption) {
  auto* w = new QPushButton(caption);
  w->setObjectName(QString::fromLatin1(name));
  QObject::connect(w, &QPushButton::clicked, w, [this, &field, name] {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, MakeDialogFont(field), parent_);
    if (!ok) return;
    TakeDialogFont(chosen, field);
    Notify(name);
  });
  return w;
}

QPushButton* SettingsBinder::FontColorButton(const char* name, TFontSpec& field, const QString& caption) {
  auto* w = new QPushButton(caption);
  w->setObjectName(QString::fromLatin1(name) + QStringLiteral("Color"));
  QObject::connect(w, &QPushButton::clicked, w, [this, &field, name] {
    if (PickColor(parent_, field.color)) Notify(name);
  });
  return w;
}

void SettingsBinder::LoadAll() {
  loading_ = true;
  for (auto& l : loaders_) l();
  loading_ = false;
}

}  // namespace ui
