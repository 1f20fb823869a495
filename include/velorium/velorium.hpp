// Velorium object interface: interfaces, enumerations, the library's exception and factories.
#pragma once

#include <limits>
#include <stdexcept>

#if defined(VELORIUM_BUILDING_LIBRARY)
#define VELORIUM_API __attribute__((visibility("default")))
#else
#define VELORIUM_API
#endif

namespace velorium {

// Positive infinity: the value of a missing bound.
inline constexpr double kVeloriumInf = std::numeric_limits<double>::infinity();

enum class variable_type : int { continuous = 0, binary = 1, integer = 2, semicontinuous = 3, semiinteger = 4 };
enum class constraint_sense : int { equal = 0, less_equal = 1, greater_equal = 2 };
enum class objective_sense : int { minimize = 0, maximize = 1 };
enum class solution_status : int {
  invalid_solution = 0,
  optimal = 1,
  feasible = 2,
  infeasible = 3,
  unbounded = 4,
  infeasible_or_unbounded = 5,
  imprecise = 6,
};
enum class solve_result : int {
  success = 0,
  fail = 1,
  remote_invalid_api_key = 2,
  remote_api_key_not_set = 3,
  remote_time_amount_is_over = 4,
  remote_time_per_calc_violated = 5,
  remote_fail = 6,
};
// Plus and multiply take any number of children; minus, divide, pow and signpow two; the
// functions one; constants and variables none.
enum class gen_expr_type : int {
  constant = 0,
  variable = 1,
  minus = 2,
  plus = 3,
  divide = 4,
  multiply = 5,
  func_square_root = 6,
  func_sqr = 7,
  func_pow = 8,
  func_exp = 9,
  func_log = 10,
  func_log2 = 11,
  func_log10 = 12,
  func_sin = 13,
  func_cos = 14,
  func_tan = 15,
  func_logistic = 16,
  func_tanh = 17,
  func_signpow = 18,
};
// The special values of the start-value completion node limit.
enum class MipStartCompletion : int { AUTO = -1, FULL_START_ONLY = -2, DISABLED = -3 };

// The library's exception: a runtime error with an int code (almost always -1). It never
// leaves an interface operation; the Python module throws and catches the same type, so its
// type identity lives in the library (out-of-line destructor).
class VELORIUM_API velorium_exception : public std::runtime_error {
 public:
  velorium_exception(int code, const char* text);
  velorium_exception(const velorium_exception&) = default;
  velorium_exception& operator=(const velorium_exception&) = default;
  ~velorium_exception() override;

  int code() const noexcept { return code_; }

 private:
  int code_;
};

// Bases of every library object. Each has an out-of-line destructor in the library, its key
// function, so that its typeinfo and vtable exist once and run-time casts between interfaces
// work across modules.

// Release destroys the whole object, whichever base it is called through.
class VELORIUM_API IReleasable {
 public:
  virtual ~IReleasable();
  virtual void Release() = 0;
};

// Error information of the last operation on an object: code 0 and "" when it succeeded.
// Operations never throw; they store their failure here. The text stays valid until the next
// operation on the same object or its release.
class VELORIUM_API IErrorInfo {
 public:
  virtual ~IErrorInfo();
  virtual int GetErrorCode() const = 0;
  virtual const char* GetErrorText() const = 0;
};

class VELORIUM_API INamedObject {
 public:
  virtual ~INamedObject();
  virtual const char* GetName() = 0;
  virtual void SetName(const char* name) = 0;
};

// The process-wide pool of interned names (internal type; reached through get_names_holder).
class VeloriumNamesHolder;

// The pool of names of this process; never null, the same pointer for the whole process.
VELORIUM_API VeloriumNamesHolder* get_names_holder();

}  // namespace velorium
