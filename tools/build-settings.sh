# Build settings shared by the scripts in tools/ (sourced, not run).

# The compiler cache lets builds share what they compile alike (the optimised build, the one
# that pip's installation test makes, the benchmarks' own), and later runs reuse it.
use_compiler_cache() {
  if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  fi
}

# The optimised configuration of every target (library, tests, benchmarks, examples) in
# build/optimised; one definition, so that no script reconfigures it another way and makes the
# next one rebuild everything.
optimised_build=build/optimised
configure_optimised_build() {
  cmake -S . -B "$optimised_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELORIUM_BUILD_TESTS=ON \
    -DVELORIUM_BUILD_BENCH=ON -DVELORIUM_BUILD_EXAMPLES=ON >/dev/null
}
