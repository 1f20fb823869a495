// Switches the process's numeric locale to one whose decimal point is a comma, for tests
// that prove number text does not depend on the locale. The locale is compiled once per
// test program into a private directory, so the machine needs no installed locales.
#pragma once

namespace velorium::test {

class ScopedCommaLocale {
 public:
  ScopedCommaLocale();
  ~ScopedCommaLocale();
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  // False when no such locale could be made; the test should then be skipped.
  bool active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace velorium::test
