#include "editing/templatecols.h"

#include <algorithm>

#include "core/codepage.h"
#include "project/templatefile.h"

namespace editing {
namespace {

bool Valid(const Document& doc, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < doc.templatecolumns.size();
}

int32_t FirstSelected(const Document& doc, const std::vector<int32_t>& selected) {
  int32_t first = -1;
  for (int32_t i : selected)
    if (Valid(doc, i) && (first < 0 || i < first)) first = i;
  return first;
}

int32_t Move(Document& doc, const std::vector<int32_t>& selected, int32_t delta) {
  int32_t i = FirstSelected(doc, selected);
  if (i < 0) return -1;
  int32_t to = i + delta;
  if (!Valid(doc, to)) return i;
  std::swap(doc.templatecolumns[static_cast<size_t>(i)], doc.templatecolumns[static_cast<size_t>(to)]);
  return to;
}

}  // namespace

int32_t NewTemplateColumn(Document& doc) {
  doc.templatecolumns.emplace_back();
  return static_cast<int32_t>(doc.templatecolumns.size() - 1);
}

bool RenameTemplateColumn(Document& doc, int32_t index, const std::u16string& title) {
  if (!Valid(doc, index)) return false;
  doc.templatecolumns[static_cast<size_t>(index)] = title;
  return true;
}

int DeleteTemplateColumns(Document& doc, const std::vector<int32_t>& selected) {
  std::vector<int32_t> v;
  for (int32_t i : selected)
    if (Valid(doc, i)) v.push_back(i);
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  for (auto it = v.rbegin(); it != v.rend(); ++it)
    doc.templatecolumns.erase(doc.templatecolumns.begin() + *it);
  return static_cast<int>(v.size());
}

int32_t MoveTemplateColumnUp(Document& doc, const std::vector<int32_t>& selected) {
  return Move(doc, selected, -1);
}
int32_t MoveTemplateColumnDown(Document& doc, const std::vector<int32_t>& selected) {
  return Move(doc, selected, +1);
}

bool LoadTemplate(Document& doc, const std::u16string& path, std::u16string* error) {
  std::vector<std::u16string> titles;
  if (!LoadTemplateFile(ql::ToUtf8(path), titles, error)) return false;
  doc.templatecolumns = std::move(titles);
  return true;
}

bool SaveTemplate(const Document& doc, const std::u16string& path, std::u16string* error) {
  return SaveTemplateFile(ql::ToUtf8(path), doc.templatecolumns, error);
}

}  // namespace editing
