#include "core/general/general_expression_impl_base.hpp"

#include <cstdarg>
#include <string>

#include "core/general/gen_expr_type_info.hpp"
#include "core/general/tree_copy.hpp"
#include "core/general/tree_walk.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::cpp_impl {

void ReleaseNode::operator()(GeneralExpressionImplBase* node) const noexcept {
  if (node) node->Release();
}

GeneralExpressionImplBase::GeneralExpressionImplBase(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept
    : type_(type), model_(std::move(model)) {}

gen_expr_type GeneralExpressionImplBase::GetType() {
  clear_error();
  return type_;
}

double GeneralExpressionImplBase::GetConstant() {
  fail_not_applicable();
  return 0.0;
}

IVariable* GeneralExpressionImplBase::GetVariable() {
  fail_not_applicable();
  return nullptr;
}

int GeneralExpressionImplBase::GetExprCount() {
  clear_error();
  return child_count();
}

int GeneralExpressionImplBase::GetArity() {
  clear_error();
  return arity();
}

IGeneralExpression* GeneralExpressionImplBase::GetExpr(int) {
  fail_not_applicable();
  return nullptr;
}

void GeneralExpressionImplBase::SetExpr(int, const IGeneralExpression*) { fail_not_applicable(); }

void GeneralExpressionImplBase::AddExpr(const IGeneralExpression*) { fail_not_applicable(); }

void GeneralExpressionImplBase::RemoveExpr(int) { fail_not_applicable(); }

IGeneralExpression* GeneralExpressionImplBase::CreateFreeCopy() {
  return guarded<IGeneralExpression*>(nullptr, [this] { return Clone().release(); });
}

OwnedGeneralExpr GeneralExpressionImplBase::Clone() const { return copy_tree(*this, nullptr, nullptr); }

bool GeneralExpressionImplBase::IsComplete() const {
  return walk_tree(*this, [](const GeneralExpressionImplBase& node) {
    const int arity = node.arity();
    if (arity >= 0 && arity != node.child_count()) return false;
    for (int slot = 0; slot < node.child_slots(); ++slot) {
      if (!node.GetChild(slot)) return false;
    }
    return arity != 0 || node.leaf_complete();
  });
}

std::shared_ptr<ModelBuilder> GeneralExpressionImplBase::effective_model() const noexcept {
  const GeneralExpressionImplBase* target = view_target();
  return target ? target->own_model() : own_model();
}

void GeneralExpressionImplBase::fail(int message_id, ...) noexcept {
  try {
    va_list args;
    va_start(args, message_id);
    const std::string text = formatStringV(get_message(message_id), args);
    va_end(args);
    SetError(text.c_str(), -1);
  } catch (...) {
    SetError("", -1);
  }
}

void GeneralExpressionImplBase::fail_not_applicable() noexcept {
  clear_error();
  fail(458, gen_expr_display_name(type_));
}

bool GeneralExpressionImplBase::check_class_arity(int class_arity) noexcept {
  if (gen_expr_arity(type_) == class_arity) return true;
  fail(460, class_arity, gen_expr_display_name(type_));
  return false;
}

bool GeneralExpressionImplBase::adopt_model(const TreeModelScan& incoming) noexcept {
  clear_error();
  if (incoming.mixed) {
    fail(405);
    return false;
  }
  std::shared_ptr<ModelBuilder> mine = own_model();
  if (!mine && incoming.model) {
    // Nodes below may have taken a model through views since this node last looked; each node
    // looks once, when it first takes a model.
    try {
      const TreeModelScan below = scan_tree_models(*this);
      if (below.mixed) {
        fail(405);
        return false;
      }
      mine = below.model;
    } catch (...) {
      fail(405);  // could not look: refuse rather than risk mixing
      return false;
    }
  }
  if (mine && incoming.model && incoming.model != mine) {
    model_ = mine;
    fail(405);
    return false;
  }
  model_ = mine ? mine : incoming.model;
  return true;
}

GeneralExprPtr GeneralExpressionImplBase::prepare_child(const IGeneralExpression* expr) {
  const auto* node = dynamic_cast<const GeneralExpressionImplBase*>(expr);
  if (!node) {
    clear_error();
    fail(391);
    return nullptr;
  }
  TreeModelScan models;
  OwnedGeneralExpr copy = copy_tree(*node, this, &models);
  if (!adopt_model(models)) return nullptr;
  return share_node(std::move(copy));
}

void GeneralExpressionImplBase::release_all(std::vector<GeneralExprPtr>& nodes) noexcept {
  while (!nodes.empty()) {
    GeneralExprPtr node = std::move(nodes.back());
    nodes.pop_back();
    if (node && node.use_count() == 1) {
      // Should the stack fail to grow, the children left behind go with the node's own
      // destructor, which takes them apart the same way.
      try {
        node->take_children(nodes);
      } catch (...) {
      }
    }
  }
}

void GeneralExpressionImplBase::release(GeneralExprPtr node) noexcept {
  if (!node) return;
  std::vector<GeneralExprPtr> nodes;
  try {
    nodes.push_back(std::move(node));
  } catch (...) {
    return;  // `node` is dropped on return; its destructor takes its subtree apart
  }
  release_all(nodes);
}

void GeneralExpressionImplBase::release_children() noexcept {
  std::vector<GeneralExprPtr> nodes;
  try {
    take_children(nodes);
  } catch (...) {
  }
  release_all(nodes);
}

}  // namespace velorium::cpp_impl
