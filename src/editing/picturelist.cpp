#include "editing/picturelist.h"

#include <cmath>

#include "i18n/messages.h"

namespace editing {
namespace {

double ClampWidth(double w) {
  if (w < kMinPictureWidth) return kMinPictureWidth;
  if (w > kMaxPictureWidth) return kMaxPictureWidth;
  return w;
}

bool ValidPicture(const Product& p, int32_t pic) {
  return pic >= 0 && static_cast<uint32_t>(pic) < p.pictures.Count();
}

// Message 9 with the picture's name on a line of its own.
void CannotLoad(Feedback& fb, const std::u16string& file) {
  fb.ShowMessage(i18n::Msg(9) + u"\n" + file, std::u16string(), MessageIcon::Error);
}

}  // namespace

std::u16string StoredPictureName(const std::u16string& fullname, const std::u16string& progpath) {
  std::u16string folder = FolderNamePart(fullname);
  if (!folder.empty() && folder == progpath) return FileNamePart(fullname);
  return fullname;
}

AddPicturesResult AddPictures(Document& doc, const Selection& sel, const std::vector<std::u16string>& files,
                              const std::u16string& progpath, double width, const PictureProbe& probe,
                              Feedback& fb) {
  AddPicturesResult res;
  if (!PositionProduct(doc, sel) || !probe) return res;
  if (!std::isfinite(width)) return res;
  width = ClampWidth(width);
  for (const std::u16string& full : files) {
    int w = 0, h = 0;
    if (!probe(full, w, h)) {
      CannotLoad(fb, full);
      continue;
    }
    Product* p = PositionProduct(doc, sel);  // the probe may have run window code
    if (!p) break;
    Picture* pic = doc.AddPicture(*p);
    if (!pic) break;
    pic->filename = StoredPictureName(full, progpath);
    pic->width = width;
    res.added++;
    res.preview = full;
    doc.SetChanged();
  }
  return res;
}

int32_t DeletePicture(Document& doc, const Selection& sel, int32_t pic) {
  Product* p = PositionProduct(doc, sel);
  if (!p || !ValidPicture(*p, pic)) return -1;
  p->pictures.Delete(pic);
  doc.SetChanged();
  return static_cast<uint32_t>(pic) < p->pictures.Count() ? pic : -1;
}

static int32_t MovePicture(Document& doc, const Selection& sel, int32_t pic, int32_t delta) {
  Product* p = PositionProduct(doc, sel);
  if (!p || !ValidPicture(*p, pic)) return -1;
  int32_t to = pic + delta;
  if (!ValidPicture(*p, to)) return pic;
  p->pictures.Change(pic, to);
  doc.SetChanged();
  return to;
}

int32_t MovePictureUp(Document& doc, const Selection& sel, int32_t pic) {
  return MovePicture(doc, sel, pic, -1);
}
int32_t MovePictureDown(Document& doc, const Selection& sel, int32_t pic) {
  return MovePicture(doc, sel, pic, +1);
}

bool SetPictureWidth(Document& doc, const Selection& sel, int32_t pic, double width) {
  if (!std::isfinite(width)) return false;
  Product* p = PositionProduct(doc, sel);
  if (!p || !ValidPicture(*p, pic)) return false;
  p->pictures.GetObject(pic)->width = ClampWidth(width);
  doc.SetChanged();
  return true;
}

PreviewResult PreviewPicture(Document& doc, const Selection& sel, int32_t pic, const PictureProbe& probe,
                             Feedback& fb) {
  PreviewResult res;
  Product* p = PositionProduct(doc, sel);
  if (!p || !ValidPicture(*p, pic) || !probe) return res;
  const Picture& entry = *p->pictures.GetObject(pic);
  std::u16string name = entry.filename;
  double width = entry.width;
  int w = 0, h = 0;
  if (!probe(doc.FindPicture(name), w, h)) {
    CannotLoad(fb, name);
    return res;
  }
  res.loaded = true;
  res.file = name;
  res.width = width;
  return res;
}

}  // namespace editing
