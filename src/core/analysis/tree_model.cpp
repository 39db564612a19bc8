#include "analysis/tree_model.h"

#include <algorithm>

namespace trivo {

namespace {

using Siblings = std::vector<std::unique_ptr<TreeNode>>;

std::size_t PositionIn(const Siblings& siblings, const TreeNode* node) {
  const auto it = std::find_if(siblings.begin(), siblings.end(),
                               [node](const auto& p) { return p.get() == node; });
  return static_cast<std::size_t>(it - siblings.begin());
}

}  // namespace

TreeNode* TreeNode::AddChild(std::string text) {
  children_.push_back(std::make_unique<TreeNode>(std::move(text), this));
  return children_.back().get();
}

TreeNode* TreeNode::NextSibling() const {
  const Siblings& siblings = parent_ ? parent_->children_ : owner_->roots_;
  const std::size_t pos = PositionIn(siblings, this);
  return pos + 1 < siblings.size() ? siblings[pos + 1].get() : nullptr;
}

TreeNode* TreeNode::PrevSibling() const {
  const Siblings& siblings = parent_ ? parent_->children_ : owner_->roots_;
  const std::size_t pos = PositionIn(siblings, this);
  return pos > 0 && pos < siblings.size() ? siblings[pos - 1].get() : nullptr;
}

TreeNode* TreeModel::AddRoot(std::string text) {
  roots_.push_back(std::make_unique<TreeNode>(std::move(text), nullptr));
  roots_.back()->owner_ = this;
  return roots_.back().get();
}

TreeNode* TreeModel::InsertRoot(std::string text) {
  roots_.insert(roots_.begin(), std::make_unique<TreeNode>(std::move(text), nullptr));
  roots_.front()->owner_ = this;
  return roots_.front().get();
}

void TreeModel::Delete(TreeNode* node) {
  if (node == nullptr) return;
  Siblings& siblings = node->parent_ ? node->parent_->children_ : roots_;
  const std::size_t pos = PositionIn(siblings, node);
  if (pos < siblings.size()) siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(pos));
}

std::size_t TreeModel::NodeCount() const {
  std::size_t count = 0;
  ForEachNode(*this, [&count](const TreeNode&, int) { ++count; });
  return count;
}

}  // namespace trivo
