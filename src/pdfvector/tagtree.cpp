#include "pdfvector/tagtree.h"

#include <functional>

#include "pdfvector/pdfwriter.h"

namespace pdfvec {

using render::StructTag;

int32_t TagTree::Open(StructTag tag, const std::u16string& alt, int32_t parent) {
  const int32_t n = static_cast<int32_t>(nodes_.size());
  nodes_.push_back({tag, alt, parent, {}, 0});
  (parent == kRoot ? top_ : nodes_[static_cast<size_t>(parent)].kids).push_back({n, 0, 0});
  return n;
}

bool TagTree::HoldsContent(StructTag tag) {
  return tag != StructTag::Table && tag != StructTag::TableRow && tag != StructTag::Artifact;
}

void TagTree::BeginPage(int32_t page) {
  page_ = page;
  if (mcids_.size() <= static_cast<size_t>(page)) mcids_.resize(static_cast<size_t>(page) + 1);
}

int32_t TagTree::NewMcid(int32_t element) {
  std::vector<int32_t>& m = mcids_[static_cast<size_t>(page_)];
  const int32_t id = static_cast<int32_t>(m.size());
  m.push_back(element);
  nodes_[static_cast<size_t>(element)].kids.push_back({-1, page_, id});
  return id;
}

const char* TagTree::TypeName(StructTag tag) {
  switch (tag) {
    case StructTag::Heading1:
      return "H1";
    case StructTag::Heading2:
      return "H2";
    case StructTag::Heading3:
      return "H3";
    case StructTag::Paragraph:
      return "P";
    case StructTag::Table:
      return "Table";
    case StructTag::TableRow:
      return "TR";
    case StructTag::HeaderCell:
      return "TH";
    case StructTag::Cell:
      return "TD";
    case StructTag::Figure:
      return "Figure";
    case StructTag::Artifact:
      break;
  }
  return "Artifact";
}

int32_t TagTree::Write(PdfWriter& w, const std::vector<int32_t>& pageobjs) {
  // Elements with content somewhere below them get objects, in order.
  std::function<bool(int32_t)> live = [&](int32_t e) {
    Node& n = nodes_[static_cast<size_t>(e)];
    bool any = false;
    for (const Kid& k : n.kids) any = (k.element < 0 ? true : live(k.element)) || any;
    if (any) n.obj = w.Reserve();
    return any;
  };
  bool anyTop = false;
  for (const Kid& k : top_) anyTop = live(k.element) || anyTop;
  if (!anyTop) return 0;
  const int32_t root = w.Reserve(), doc = w.Reserve(), parents = w.Reserve();
  auto pageRef = [&](int32_t page) {
    return static_cast<size_t>(page) < pageobjs.size() ? Ref(pageobjs[static_cast<size_t>(page)]) : "null";
  };
  auto kids = [&](const std::vector<Kid>& v) {
    std::string s;
    for (const Kid& k : v) {
      if (k.element >= 0) {
        const int32_t obj = nodes_[static_cast<size_t>(k.element)].obj;
        if (obj) s += " " + Ref(obj);
      } else {
        s += " << /Type /MCR /Pg " + pageRef(k.page) + " /MCID " + std::to_string(k.mcid) + " >>";
      }
    }
    return s;
  };
  for (const Node& n : nodes_) {
    if (!n.obj) continue;
    std::string d = "<< /Type /StructElem /S /" + std::string(TypeName(n.tag)) + " /P " +
                    Ref(n.parent == kRoot ? doc : nodes_[static_cast<size_t>(n.parent)].obj);
    // Header cells head their column.
    if (n.tag == StructTag::HeaderCell) d += " /A << /O /Table /Scope /Column >>";
    if (n.tag == StructTag::Figure) d += " /Alt " + TextString(n.alt);
    for (const Kid& k : n.kids)
      if (k.element < 0) {
        d += " /Pg " + pageRef(k.page);
        break;
      }
    w.WriteObject(n.obj, d + " /K [" + kids(n.kids) + " ] >>");
  }
  w.WriteObject(doc, "<< /Type /StructElem /S /Document /P " + Ref(root) + " /K [" + kids(top_) + " ] >>");
  std::string nums;
  for (size_t p = 0; p < pageobjs.size(); ++p) {
    nums += " " + std::to_string(p) + " [";
    if (p < mcids_.size())
      for (int32_t e : mcids_[p]) nums += " " + Ref(nodes_[static_cast<size_t>(e)].obj);
    nums += " ]";
  }
  w.WriteObject(parents, "<< /Nums [" + nums + " ] >>");
  w.WriteObject(root, "<< /Type /StructTreeRoot /K [" + Ref(doc) + "] /ParentTree " + Ref(parents) +
                          " /ParentTreeNextKey " + std::to_string(pageobjs.size()) + " >>");
  return root;
}

}  // namespace pdfvec
