// Cost of building, copying, checking and flattening general expression trees: wide sums
// built child by child and deep chains must both stay linear in their size.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/general/constant_general_expr.hpp"
#include "core/general/general_expression_records.hpp"
#include "core/general/unary_general_expr.hpp"
#include "core/store/model_builder.hpp"
#include "velorium/velorium.hpp"

namespace {

using namespace velorium;
using namespace velorium::cpp_impl;

void BM_WideSumByAddExpr(benchmark::State& state) {
  IGeneralExpression* term = CreateGeneralExpression(2.0);
  for (auto _ : state) {
    IGeneralExpression* sum = CreateGeneralExpression(gen_expr_type::plus);
    for (int64_t k = 0; k < state.range(0); ++k) sum->AddExpr(term);
    benchmark::DoNotOptimize(sum);
    sum->Release();
  }
  term->Release();
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WideSumByAddExpr)->Range(1 << 10, 1 << 18)->Complexity();

GeneralExprPtr chain(int64_t depth) {
  GeneralExprPtr top = share_node(OwnedGeneralExpr(new ConstantGeneralExpr(1.0)));
  for (int64_t level = 0; level < depth; ++level) {
    OwnedGeneralExpr parent(new UnaryGeneralExpr(gen_expr_type::func_exp));
    parent->AppendChild(std::move(top));
    top = share_node(std::move(parent));
  }
  return top;
}

void BM_DeepChainCopyCheckRelease(benchmark::State& state) {
  const GeneralExprPtr deep = chain(state.range(0));
  for (auto _ : state) {
    OwnedGeneralExpr copy = deep->Clone();
    benchmark::DoNotOptimize(copy->IsComplete());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DeepChainCopyCheckRelease)->Range(1 << 10, 1 << 20)->Complexity();

void BM_DeepChainFlatten(benchmark::State& state) {
  get_or_create_kernel();
  const auto store = std::make_shared<ModelBuilder>();
  const GeneralExprPtr deep = chain(state.range(0));
  std::vector<ExprNodeRecord> records;
  for (auto _ : state) {
    records.clear();
    flatten_general_expression(*deep, *store, {{}, 0}, records);
    benchmark::DoNotOptimize(records.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DeepChainFlatten)->Range(1 << 10, 1 << 20)->Complexity();

}  // namespace
BENCHMARK_MAIN();
