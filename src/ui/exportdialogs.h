// The dialogs of the page-images and HTML catalog exports.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace ui {

// "Wählen Sie die Bildauflösung und Qualität": all pages or a range, the
// resolution (with four preset buttons) and the JPEG compression. One
// instance lives while the program runs, so its values are kept between
// exports (they are not stored).
class TBitmapResolution : public QDialog {
 public:
  explicit TBitmapResolution(QWidget* parent);
  // With `rangeChoices` false both page-range choices are disabled and
  // "Alle Seiten exportieren" is selected (the HTML catalog); they are
  // enabled again afterwards. True when OK was chosen.
  bool Run(bool rangeChoices);

  bool allPages() const;
  int frompage() const;
  int topage() const;
  int resolution() const;
  int compression() const;
  void SetResolution(int dpi);

 private:
  QRadioButton* radioButton1_;
  QRadioButton* radioButton2_;
  QSpinBox* frompageed_;
  QSpinBox* topageed_;
  QSpinBox* resEd_;
  QSpinBox* compressEd_;
};

// "Als HTML Blätterkatalog exportieren": the output folder, typed or chosen
// with the small button beside the field, and whether the print-ready PDF
// is written into it too (linked from the catalog as "PDF herunterladen").
// Kept, like the folder, while the program runs.
class TSelectFolderForm : public QDialog {
 public:
  explicit TSelectFolderForm(QWidget* parent);
  // `suggested`: the folder offered (beside the project, named after it);
  // it replaces the box's text unless the user typed another folder there.
  bool Run(const QString& suggested = {});
  QString folder() const;
  bool withPdf() const;

 private:
  QLineEdit* directoryEdit1_;
  QCheckBox* withPdf_;
  QString suggested_;
};

// The one instance of each, made on first use with `owner` as parent; it
// lives while the program runs, so its values are kept between exports.
TBitmapResolution& ResolutionDialog(QWidget* owner);
TSelectFolderForm& FolderDialog(QWidget* owner);

}  // namespace ui
