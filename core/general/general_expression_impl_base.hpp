// The common base of the general expression node classes.
#pragma once

#include <memory>
#include <vector>

#include "core/base/error_info_base.hpp"
#include "core/general/tree_model_scan.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;
class GeneralExpressionImplBase;

// Nodes made by the library are destroyed by the library, through their Release.
struct ReleaseNode {
  void operator()(GeneralExpressionImplBase* node) const noexcept;
};
// A node with one owner: a new copy before it is attached or handed to a caller.
using OwnedGeneralExpr = std::unique_ptr<GeneralExpressionImplBase, ReleaseNode>;
// A node held by a parent, a view or a general constraint; several may hold it.
using GeneralExprPtr = std::shared_ptr<GeneralExpressionImplBase>;

inline GeneralExprPtr share_node(OwnedGeneralExpr node) { return GeneralExprPtr(std::move(node)); }

// Every node: a type, and a weak reference to the model store its variables belong to (a node
// never keeps its model alive; a store that is gone counts as no model). Each interface
// operation clears the error information first; what a class does not offer reports message
// 458 with the type's display name. Attaching always copies the argument (a view as another
// view of its target) and never closes a cycle: a view whose target can reach the receiving
// node is attached as a deep copy of that target instead.
//
// Copying, destroying, checking and flattening are iterative, so trees of any depth are safe.
class GeneralExpressionImplBase : public ErrorInfoBase<IGeneralExpression>,
                                  public std::enable_shared_from_this<GeneralExpressionImplBase> {
 public:
  GeneralExpressionImplBase(const GeneralExpressionImplBase&) = delete;
  GeneralExpressionImplBase& operator=(const GeneralExpressionImplBase&) = delete;

  gen_expr_type GetType() override;
  double GetConstant() override;
  IVariable* GetVariable() override;
  int GetExprCount() override;
  int GetArity() override;
  IGeneralExpression* GetExpr(int index) override;
  void SetExpr(int index, const IGeneralExpression* expr) override;
  void AddExpr(const IGeneralExpression* expr) override;
  void RemoveExpr(int index) override;
  // The same as Clone.
  IGeneralExpression* CreateFreeCopy() override;

  // For the library's own use: no checks and no copies; the index must be valid.
  // SetChild of an n-ary node at its child count appends.
  virtual void SetChild(int index, GeneralExprPtr child) {}
  // Fills the first free place; a node without one ignores the child.
  virtual void AppendChild(GeneralExprPtr child) {}
  // The child at `index`, or null (leaves, absent children).
  virtual GeneralExpressionImplBase* GetChild(int index) const noexcept { return nullptr; }
  // A deep copy; a view gives another view of its target.
  OwnedGeneralExpr Clone() const;
  // Every one- and two-child node has its children, every variable leaf an index >= 0.
  bool IsComplete() const;

  // The structure, read without touching the error information. A view answers for its target.
  virtual int arity() const noexcept = 0;
  virtual int child_count() const noexcept { return 0; }
  // The places that may hold a child: 1, 2, or the child count of an n-ary node.
  virtual int child_slots() const noexcept { return 0; }
  virtual bool leaf_complete() const noexcept { return true; }
  // The node that a view stands for (never itself a view); null for every other node.
  virtual GeneralExpressionImplBase* view_target() const noexcept { return nullptr; }
  // A node of the same class, type, value and model reference without children; for a view,
  // another view of the same target.
  virtual OwnedGeneralExpr shallow_copy() const = 0;
  // Moves the children (a view: its target) into `out`, so that destruction never recurses.
  virtual void take_children(std::vector<GeneralExprPtr>& out) {}

  gen_expr_type type() const noexcept { return type_; }
  std::shared_ptr<ModelBuilder> own_model() const noexcept { return model_.lock(); }
  // The store, looked through a view to its target.
  std::shared_ptr<ModelBuilder> effective_model() const noexcept;
  const std::weak_ptr<ModelBuilder>& model_ref() const noexcept { return model_; }
  // For trees the library builds itself (conversions, trees read from records), whose nodes
  // all belong to one store: sets the model reference without a check.
  void bind_model(std::weak_ptr<ModelBuilder> model) noexcept { model_ = std::move(model); }

 protected:
  GeneralExpressionImplBase(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept;

  // Stores catalogue message `message_id`, filled in with the arguments, with code -1.
  void fail(int message_id, ...) noexcept;
  void fail_not_applicable() noexcept;
  // For inner nodes made from a type: the type's arity must be the class's, else 460.
  bool check_class_arity(int class_arity) noexcept;

  // The model check before attaching a child whose stores are `incoming`. Clears the error
  // information; a child of another live store than the one of this node's tree (or a child
  // that mixes two stores) stores 405 and gives false. A node without a live store takes the
  // child's, after looking through its own tree, views included, for one.
  bool adopt_model(const TreeModelScan& incoming) noexcept;
  // A copy of `expr` that may be attached to this node, after the model check; null with the
  // error stored (391 for an object that is not a node of this library, 405) when it may not.
  GeneralExprPtr prepare_child(const IGeneralExpression* expr);

  // Drops the holds on `nodes`, taking apart every node whose last holder they were without
  // recursion.
  static void release_all(std::vector<GeneralExprPtr>& nodes) noexcept;
  static void release(GeneralExprPtr node) noexcept;
  // For the destructors of classes with children.
  void release_children() noexcept;

  const gen_expr_type type_;
  std::weak_ptr<ModelBuilder> model_;
};

}  // namespace velorium::cpp_impl
