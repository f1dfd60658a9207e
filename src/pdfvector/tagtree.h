// TagTree: the logical structure of a tagged vector PDF, built while the
// pages are drawn and written at the end.
//
// The surface opens an element for each tag it is given (render::StructTag)
// inside the innermost open one, and asks for a marked-content id (MCID)
// of the current page for each stretch of content that belongs to an
// element. Write turns the tree into StructElem objects under a Document
// element in the order the elements were opened (the reading order of the
// layout), with the parent tree that leads from each page's MCIDs back to
// their elements. Elements that got no content are left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/surface.h"

namespace pdfvec {

class PdfWriter;

class TagTree {
 public:
  static constexpr int32_t kRoot = -1;

  // A new element of type `tag` inside `parent` (kRoot: the document).
  int32_t Open(render::StructTag tag, const std::u16string& alt, int32_t parent);
  render::StructTag TagOf(int32_t element) const { return nodes_[static_cast<size_t>(element)].tag; }
  // Whether content goes straight into elements of this type (headings,
  // paragraphs, cells, figures); rows and tables only hold elements.
  static bool HoldsContent(render::StructTag tag);
  // Pages are counted from 0; content goes to the page begun last.
  void BeginPage(int32_t page);
  // The next MCID of the current page, given to `element`.
  int32_t NewMcid(int32_t element);
  // The PDF name of an element type ("H1", "P", "TD" ...).
  static const char* TypeName(render::StructTag tag);

  // Writes the elements, the parent tree and the root; returns the root's
  // object number (0: nothing was tagged). `pageobjs[i]` is the object of
  // page i; each page gets /StructParents i.
  int32_t Write(PdfWriter& w, const std::vector<int32_t>& pageobjs);

 private:
  struct Kid {
    int32_t element;  // -1: marked content
    int32_t page, mcid;
  };
  struct Node {
    render::StructTag tag;
    std::u16string alt;
    int32_t parent;
    std::vector<Kid> kids;
    int32_t obj = 0;
  };
  std::vector<Node> nodes_;
  std::vector<Kid> top_;                     // the document's kids
  std::vector<std::vector<int32_t>> mcids_;  // per page: the element of each MCID
  int32_t page_ = 0;
};

}  // namespace pdfvec
