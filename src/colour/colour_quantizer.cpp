#include "colour/colour_quantizer.h"

#include "colour/system_palettes.h"

namespace tovasel {

namespace {

// Destroys a subtree depth-first: children 7 down to 0, then the node. The
// recursion is at most nine levels deep.
void DestroyTree(std::unique_ptr<TOctreeNode> node) {
  if (!node) return;
  for (int i = 7; i >= 0; --i) DestroyTree(std::move(node->Children[i]));
}

}  // namespace

TColorQuantizer::TColorQuantizer(int colorLimit, int leafDepth)
    : colorLimit_(colorLimit < 1 ? 1 : colorLimit),
      leafDepth_(leafDepth < 1 ? 1 : (leafDepth > 8 ? 8 : leafDepth)) {}

TColorQuantizer::~TColorQuantizer() { DestroyTree(std::move(root_)); }

std::unique_ptr<TOctreeNode> TColorQuantizer::CreateNode(int level) {
  auto node = std::make_unique<TOctreeNode>();
  if (level == leafDepth_) {
    node->Terminal = true;
    ++leafTotal_;
  } else {
    node->NextReducible = reducibleByLevel_[level];
    reducibleByLevel_[level] = node.get();
  }
  return node;
}

void TColorQuantizer::AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::unique_ptr<TOctreeNode>* slot = &root_;
  for (int level = 0;; ++level) {
    if (!*slot) *slot = CreateNode(level);
    TOctreeNode& node = **slot;
    if (node.Terminal) {
      node.Hits += 1;
      node.SumRed += red;
      node.SumGreen += green;
      node.SumBlue += blue;
      return;
    }
    const int shift = 7 - level;
    const int child = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
    slot = &node.Children[child];
  }
}

void TColorQuantizer::AddImage(const TDIBReader& reader) {
  const int width = reader.Width();
  for (int y = 0; y < reader.Height() && width > 0; ++y) {
    const std::uint8_t* p = reader.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      AddColor(p[2], p[1], p[0]);
      while (leafTotal_ > colorLimit_ && CollapseOne()) {
      }
    }
  }
}

bool TColorQuantizer::CollapseOne() {
  int level = leafDepth_ - 1;
  while (level > 0 && reducibleByLevel_[level] == nullptr) --level;
  TOctreeNode* node = reducibleByLevel_[level];
  if (node == nullptr) return false;  // only the root is left and it is a leaf
  reducibleByLevel_[level] = node->NextReducible;
  node->NextReducible = nullptr;

  std::int64_t red = 0, green = 0, blue = 0;
  int removed = 0;
  for (auto& child : node->Children) {
    if (!child) continue;
    node->Hits += child->Hits;
    red += child->SumRed;
    green += child->SumGreen;
    blue += child->SumBlue;
    DestroyTree(std::move(child));
    ++removed;
  }
  node->Terminal = true;
  node->SumRed = red;
  node->SumGreen = green;
  node->SumBlue = blue;
  leafTotal_ += 1 - removed;
  return true;
}

int TColorQuantizer::FillColorTable(std::vector<TRGBQuad>& table) const {
  int written = 0;
  // Depth-first, children in index order: an explicit stack of pending
  // nodes, pushed in reverse so that child 0 comes out first.
  std::vector<const TOctreeNode*> stack;
  if (root_) stack.push_back(root_.get());
  while (!stack.empty()) {
    const TOctreeNode* node = stack.back();
    stack.pop_back();
    if (node->Terminal) {
      if (static_cast<std::size_t>(written) < table.size()) {
        TRGBQuad q{};
        if (node->Hits > 0) {
          q.rgbBlue = static_cast<std::uint8_t>(node->SumBlue / node->Hits);
          q.rgbGreen = static_cast<std::uint8_t>(node->SumGreen / node->Hits);
          q.rgbRed = static_cast<std::uint8_t>(node->SumRed / node->Hits);
        }
        table[static_cast<std::size_t>(written)] = q;
      }
      ++written;
      continue;
    }
    for (int i = 7; i >= 0; --i) {
      if (node->Children[i]) stack.push_back(node->Children[i].get());
    }
  }
  return written;
}

TColorPalette BuildOctreePalette(const TDIBReader& reader, int colorCount, int leafDepth,
                                 bool withSystemColors) {
  const int limit = withSystemColors ? 236 : (colorCount < 1 ? 1 : (colorCount > 256 ? 256 : colorCount));
  std::vector<TRGBQuad> table(256);
  {
    TColorQuantizer quantizer(limit, leafDepth);
    quantizer.AddImage(reader);
    quantizer.FillColorTable(table);
  }
  const int first = withSystemColors ? 10 : 0;
  TColorPalette palette(withSystemColors ? 256 : static_cast<std::size_t>(limit));
  for (int i = 0; i < limit; ++i) {
    palette[static_cast<std::size_t>(first + i)] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue};
  }
  if (withSystemColors) {
    const TColorPalette& sys = SystemColors20();
    for (int i = 0; i < 10; ++i) {
      palette[static_cast<std::size_t>(i)] = sys[static_cast<std::size_t>(i)];
      palette[static_cast<std::size_t>(246 + i)] = sys[static_cast<std::size_t>(10 + i)];
    }
  }
  return palette;
}

}  // namespace tovasel
