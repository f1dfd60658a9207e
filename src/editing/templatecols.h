// The template list of the tab "Voreinstellungen": the column titles a new
// product's table starts with. None of these commands marks the document
// changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/document.h"

namespace editing {

// "Neue Spalte": appends an empty title; returns its index (the window
// starts editing it in place).
int32_t NewTemplateColumn(Document& doc);

// End of the in-place edit ("Neue Spalte", "Bearbeiten"). False for an index
// that does not exist.
bool RenameTemplateColumn(Document& doc, int32_t index, const std::u16string& title);

// "Löschen": every selected entry, from the last to the first. Returns the
// number deleted.
int DeleteTemplateColumns(Document& doc, const std::vector<int32_t>& selected);

// "Nach oben" / "Nach unten": the first selected entry moves one place;
// returns its new index (unchanged at the ends, -1 without a selection).
int32_t MoveTemplateColumnUp(Document& doc, const std::vector<int32_t>& selected);
int32_t MoveTemplateColumnDown(Document& doc, const std::vector<int32_t>& selected);

// "Vorlage öffnen...": replaces every entry by the titles of a .vor file.
// On failure the list stays as it was and `error` says why.
bool LoadTemplate(Document& doc, const std::u16string& path, std::u16string* error = nullptr);
// "Vorlage speichern unter...": writes every title in list order.
bool SaveTemplate(const Document& doc, const std::u16string& path, std::u16string* error = nullptr);

}  // namespace editing
