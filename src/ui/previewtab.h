// The tab "Katalog erzeugen": zoom, page and layout boxes, the page count,
// the page preview in its scroll box and the focus sink behind it, and the
// preview's keys (F5 redraw, Ctrl +/-/0 zoom, Page Up/Down). While the tab
// is shown, the mouse wheel anywhere in its window scrolls the preview.
// Zoom and page are view state; the layout is a document setting, reported
// to the window.
#pragma once

#include <QWidget>
#include <functional>

#include "core/settings.h"
#include "platform/printer.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;

namespace render {
class RenderSession;
}

namespace ui {

class PagePreview;

class PreviewTab : public QWidget {
  Q_OBJECT
 public:
  // `layoutChosen` gets the index the user picked in the layout box.
  PreviewTab(render::RenderSession& session, ViewState& view, std::function<void(int)> layoutChosen,
             QWidget* parent = nullptr);

  PagePreview* preview() const { return preview_; }
  QScrollArea* scrollBox() const { return scrollBox_; }
  QLineEdit* focusSink() const { return keyEdit_; }
  // The page box "Seite" (exports show their progress in it).
  QSpinBox* pageBox() const { return seiteEd_; }
  // The preview shows the page the page box shows (after an export stepped
  // the box with its signals blocked).
  void ShowBoxPage();
  // Shows the document's layout without reporting it as chosen.
  void ShowLayout(int index);
  // Lays the preview out on `page` and says which page that is beside the
  // page count ("A4 (Drucker: PDF)"), so a user sees why pages moved.
  void SetPrinter(const platform::PrinterPage& page);
  // That text in the window's language.
  static QString PrinterPageText(const platform::PrinterPage& page);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  ViewState& view_;
  std::function<void(int)> layoutChosen_;
  QDoubleSpinBox* zoomEd_ = nullptr;
  QSpinBox* seiteEd_ = nullptr;
  QLabel* pageInfo_ = nullptr;  // "Seite 3 von 17"
  QLabel* pageSize_ = nullptr;  // "A4 (Drucker: PDF)"
  QComboBox* layoutCombo_ = nullptr;
  QScrollArea* scrollBox_ = nullptr;
  PagePreview* preview_ = nullptr;
  QLineEdit* keyEdit_ = nullptr;
  int wheelRest_ = 0;  // wheel turns short of a notch
};

}  // namespace ui
