// A project opened with a render session as the outputs use one: the
// 300-ppi measurer, the picture loader, its furniture pictures and a fixed
// date.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/measurer.h"
#include "platform/qtpictureloader.h"
#include "project/document.h"
#include "project/projectfile.h"
#include "render/render.h"

struct SampleSession {
  Document doc;
  platform::QtTextMeasurer measurer;
  platform::QtPictureLoader loader;
  std::unique_ptr<render::RenderSession> session;
  // Opens `file` and sets its LayoutCombo to `layout`; false when it cannot
  // be read.
  bool Open(const std::string& file, int32_t layout) {
    std::u16string error;
    if (!OpenProjectFile(doc, file, ReadOptions::FromDocument(doc), &error)) return false;
    doc.settings.LayoutCombo = layout;
    session = std::make_unique<render::RenderSession>(doc, measurer, loader);
    session->today = [] { return std::u16string(u"09.12.2026"); };
    session->LoadFurniturePictures();
    return true;
  }
};
