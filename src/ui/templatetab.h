// The tab "Voreinstellungen": the template list (the variant-table column
// titles of new products) with its commands and template files, and the
// default variant-table geometry bound to the document's settings.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "project/document.h"
#include "project/feedback.h"

class QTreeWidget;

namespace ui {

class SettingsBinder;

class TemplateTab : public QWidget {
  Q_OBJECT
 public:
  // `record` names a command that may have changed the document (undo);
  // `title` is the caption of error messages.
  TemplateTab(Document& doc, SettingsBinder& binder, Feedback& fb, std::function<void(const char*)> record,
              std::function<std::u16string()> title, QWidget* parent = nullptr);

  QTreeWidget* list() const { return listView3_; }
  // The list from the document's template columns.
  void FillTemplateList();

 private:
  void NewTemplateColumnCmd();
  void EditTemplateColumnCmd();
  void DeleteTemplateColumnsCmd();
  void MoveTemplateColumnCmd(bool up);
  void LoadTemplateCmd();
  void SaveTemplateCmd();

  Document& doc_;
  Feedback& fb_;
  std::function<void(const char*)> record_;
  std::function<std::u16string()> title_;
  QTreeWidget* listView3_ = nullptr;  // template columns
};

}  // namespace ui
