#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trivo {

class TreeModel;

// One node of a tree view: a text, its parent and its children in order.
class TreeNode {
 public:
  TreeNode(std::string text, TreeNode* parent) : text_(std::move(text)), parent_(parent) {}
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  const std::string& Text() const { return text_; }
  TreeNode* Parent() const { return parent_; }
  std::size_t Count() const { return children_.size(); }
  TreeNode* Child(std::size_t index) const { return children_[index].get(); }
  const std::vector<std::unique_ptr<TreeNode>>& Children() const { return children_; }

  // Appends a child as the last one and returns it.
  TreeNode* AddChild(std::string text);
  // The neighbours among the parent's children (or among the roots); null at either end.
  TreeNode* NextSibling() const;
  TreeNode* PrevSibling() const;

 private:
  friend class TreeModel;
  std::string text_;
  TreeNode* parent_;
  std::vector<std::unique_ptr<TreeNode>> children_;
  TreeModel* owner_ = nullptr;  // set on roots only
};

// The nodes of a tree view: the root nodes in order, each with its subtree.
class TreeModel {
 public:
  TreeModel() = default;
  TreeModel(const TreeModel&) = delete;
  TreeModel& operator=(const TreeModel&) = delete;

  std::size_t RootCount() const { return roots_.size(); }
  TreeNode* Root(std::size_t index) const { return roots_[index].get(); }
  const std::vector<std::unique_ptr<TreeNode>>& Roots() const { return roots_; }
  // The first root node, or null when the tree is empty.
  TreeNode* FirstRoot() const { return roots_.empty() ? nullptr : roots_.front().get(); }

  // Appends a root node as the last one and returns it.
  TreeNode* AddRoot(std::string text);
  // Inserts a root node as the first one and returns it.
  TreeNode* InsertRoot(std::string text);
  // Removes the node with its whole subtree; the pointer is invalid afterwards.
  void Delete(TreeNode* node);
  void Clear() { roots_.clear(); }
  // Number of nodes in the whole tree.
  std::size_t NodeCount() const;

 private:
  friend class TreeNode;
  std::vector<std::unique_ptr<TreeNode>> roots_;
};

// Calls visit(node, depth) for every node depth-first in tree order, roots at depth 0.
template <typename Visit>
void ForEachNode(const TreeModel& tree, Visit&& visit) {
  struct Walker {
    Visit& v;
    void Walk(const TreeNode& node, int depth) {
      v(node, depth);
      for (const auto& child : node.Children()) Walk(*child, depth + 1);
    }
  };
  Walker walker{visit};
  for (const auto& root : tree.Roots()) walker.Walk(*root, 0);
}

}  // namespace trivo
