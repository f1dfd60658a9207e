// The bundled sample catalog "Gartenhaus Morvetta": a garden shop with a
// table of contents, two main categories with their subcategories, products
// with pictures and tier-price tables, a page background and the logo.
#pragma once

#include <QString>
#include <QStringList>

#include "project/document.h"

namespace samplegen {

// The project file the generator writes into its folder.
inline const char kProjectFileName[] = "test.pk2";
// The logo every new catalog names by default.
inline const char kLogoFileName[] = "logo morvetta200x200.gif";
inline const char kBackgroundFileName[] = "hintergrund.jpg";

// Fills `doc` with the sample catalog and its settings (all other settings
// at their defaults). Picture names are full paths of files in `folder`.
void BuildSampleCatalog(Document& doc, const QString& folder);

// Draws every picture the sample names and writes it into `folder` (which
// must exist). `written` receives the bare file names in writing order.
bool WriteSamplePictures(const QString& folder, QStringList* written, QString* error);

// Creates `folder` if needed, writes the pictures and then the project file.
// `written` receives every file name (the project file last).
bool GenerateSample(const QString& folder, QStringList* written, QString* error);

}  // namespace samplegen
