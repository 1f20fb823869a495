// Texts of general expressions and general constraints. Trees can be far deeper than the call
// stack allows (a loop of `g -= 1.0` makes one level per step), so the formula is written by
// one loop over an explicit stack, straight into one text.
#include <charconv>
#include <vector>

#include "python/text/object_text.hpp"

namespace velorium {

namespace {

using T = gen_expr_type;

const char* function_name(gen_expr_type type) {
  switch (type) {
    case T::func_square_root: return "sqrt";
    case T::func_sqr: return "sqr";
    case T::func_pow: return "pow";
    case T::func_exp: return "exp";
    case T::func_log: return "log";
    case T::func_log2: return "log2";
    case T::func_log10: return "log10";
    case T::func_sin: return "sin";
    case T::func_cos: return "cos";
    case T::func_tan: return "tan";
    case T::func_logistic: return "logistic";
    case T::func_tanh: return "tanh";
    case T::func_signpow: return "signpow";
    default: return "unk_func";
  }
}

// "%.15g" in the C locale.
std::string constant_text(double value) {
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, written.ptr);
}

std::string variable_name(const GeneralExpression& node) {
  const char* name = node.get_variable().get_name();
  return name ? name : "";
}

// Minus and plus nodes are parenthesised where they stand as an operand.
bool grouped_as_operand(gen_expr_type type) { return type == T::minus || type == T::plus; }

// Whether the operand text of `node` begins with "-". Only a constant or a variable name can
// begin with it; a product or a quotient begins with its first operand. (Each node is walked
// by at most one such call, so the whole rendering stays linear.)
bool operand_starts_with_minus(GeneralExpression node) {
  for (;;) {
    switch (node.get_type()) {
      case T::constant: return constant_text(node.get_constant())[0] == '-';
      case T::variable: return variable_name(node).starts_with('-');
      case T::multiply:
        if (node.get_expr_count() == 0) return false;
        node = node.child(0);
        break;
      case T::divide: node = node.child(0); break;
      default: return false;
    }
  }
}

// A node whose children are still being written.
struct Frame {
  GeneralExpression node;
  gen_expr_type type;
  int children;      // how many children the text shows
  int next = 0;      // the next child to write
  int closing = 0;   // the ")" that follow the node's own text
};

class FormulaWriter {
 public:
  std::string write(const GeneralExpression& root, bool as_operand) {
    open(root.reader(), as_operand, false);
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      if (frame.next == frame.children) {
        close(frame);
        stack_.pop_back();
        continue;
      }
      const int index = frame.next++;
      // `frame` may move once the child is opened: take what is needed first.
      const gen_expr_type type = frame.type;
      GeneralExpression child = frame.node.child(index);
      write_child(type, index, std::move(child));
    }
    return std::move(out_);
  }

 private:
  void write_child(gen_expr_type parent, int index, GeneralExpression child) {
    switch (parent) {
      case T::minus:
      case T::divide:
        if (index == 1) out_ += parent == T::minus ? '-' : '/';
        open(std::move(child), true, false);
        return;
      case T::plus:
      case T::multiply: {
        bool wrapped = false;
        if (index > 0) {
          const bool negative = !grouped_as_operand(child.get_type()) && operand_starts_with_minus(child);
          // A negative term takes the place of the "+"; a negative factor goes in parentheses.
          if (!negative) out_ += parent == T::plus ? '+' : '*';
          else if (parent == T::multiply) {
            out_ += "*(";
            wrapped = true;
          }
        }
        open(std::move(child), true, wrapped);
        return;
      }
      default:
        if (index == 1) out_ += ", ";
        open(std::move(child), false, false);
        return;
    }
  }

  // Writes a leaf at once; starts a frame for a node with children.
  void open(GeneralExpression node, bool as_operand, bool wrapped) {
    const gen_expr_type type = node.get_type();
    int closing = wrapped ? 1 : 0;
    if (type == T::constant || type == T::variable) {
      out_ += type == T::constant ? constant_text(node.get_constant()) : variable_name(node);
      out_.append(closing, ')');
      return;
    }
    if (as_operand && grouped_as_operand(type)) {
      out_ += '(';
      ++closing;
    }
    int children = 0;
    switch (type) {
      case T::minus:
      case T::divide: children = 2; break;
      case T::plus:
      case T::multiply: children = node.get_expr_count(); break;
      default:
        out_ += function_name(type);
        out_ += '(';
        ++closing;
        children = node.get_arity() == 2 ? 2 : 1;
        break;
    }
    stack_.push_back(Frame{std::move(node), type, children, 0, closing});
  }

  void close(const Frame& frame) { out_.append(frame.closing, ')'); }

  std::string out_;
  std::vector<Frame> stack_;
};

}  // namespace

std::string general_expression_repr(const GeneralExpression& expression) {
  return FormulaWriter().write(expression, false);
}

std::string operand_text(const GeneralExpression& expression) { return FormulaWriter().write(expression, true); }

std::string general_constraint_repr(const GeneralConstraint& constraint) {
  const char* name = constraint.get_name();
  const std::string prefix = name && *name ? std::string(name) + ": " : std::string();
  const char* variable = constraint.get_variable().get_name();
  const std::string formula = general_expression_repr(constraint.get_expression());
  return prefix + (variable ? variable : "") + " == " + formula;
}

}  // namespace velorium
