// What the tabs of the page pictures ("Hintergrund", "Logo") share: their
// settings in a grid on the left, beginning with the picture's file name,
// and on the right the picture as prepared for the pages (1:1). The controls
// are bound to the document's settings through the window's SettingsBinder,
// which reports every change to the window; the window passes each change on
// to SettingChanged.
#pragma once

#include <QWidget>

class QGridLayout;
class QLineEdit;
struct dib;

namespace render {
class RenderSession;
}

namespace ui {

class DibBox;

class PictureTab : public QWidget {
  Q_OBJECT
 public:
  // After the setting `name` changed: prepares the picture again when the
  // setting is one of this tab's that shapes it, and shows the result.
  virtual void SettingChanged(const char* name) = 0;
  // Shows the picture as prepared for the pages (1:1).
  void ShowPicture();

 protected:
  // The session holds the document whose settings the controls edit and
  // the prepared picture `shown` (one of its fields). `tabName` and
  // `boxName` are the object names of the tab and of the picture box; wide
  // rows span `span` columns of the grid.
  PictureTab(render::RenderSession& session, const dib& shown, const char* tabName, const char* boxName,
             int span, QWidget* parent);
  // The rows of the grid, each added below the last.
  void AddFileRow(const char* label, QLineEdit* box);
  void AddRow(const char* label, QWidget* control);
  void AddWideRow(QWidget* control);
  // Closes the grid (its rows stay at the top) and puts the picture box
  // beside it; the tab's constructor ends with it.
  void EndRows();

  render::RenderSession& session_;
  QGridLayout* grid_ = nullptr;
  int row_ = 0;

 private:
  const dib& shown_;
  const int span_;
  DibBox* box_ = nullptr;
};

}  // namespace ui
