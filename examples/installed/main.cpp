// Uses an installed Velorium through both public headers: the object interface and the
// function interface.
#include <cmath>
#include <cstdio>

#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

int main() {
  if (!std::isinf(Velorium_Inf()) || velorium::get_names_holder() == nullptr) {
    std::puts("velorium: the installed library does not answer");
    return 1;
  }
  std::puts("velorium: the installed library answers");
  return 0;
}
