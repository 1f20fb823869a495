// Cost of building a large model in the store: additions with and without names, look-ups by
// name, removals, generated names after removals, and expressions built term by term. Each figure is per operation; peak_MB
// is the process's peak resident memory so far (VmHWM).
#include <benchmark/benchmark.h>

#include "process_memory.hpp"

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/model/model_impl.hpp"
#include "core/model/variable_impl.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "velorium/velorium.hpp"

namespace {

using velorium::VeloriumNamesHolder;
using velorium::cpp_impl::ModelBuilder;

constexpr int kCount = 1000000;

double peak_resident_megabytes() { return static_cast<double>(velorium::bench::processStatusBytes("VmHWM:")) / (1024.0 * 1024.0); }

void report(benchmark::State& state, double operations_per_iteration) {
  state.counters["per_op"] = benchmark::Counter(operations_per_iteration,
                                                benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = peak_resident_megabytes();
}

// Names that no earlier run has interned, so every addition really adds to the pool.
std::vector<std::string> fresh_names(int count) {
  static int run = 0;
  const std::string prefix = "r" + std::to_string(run++) + "_v";
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

std::shared_ptr<ModelBuilder> named_store(const std::vector<std::string>& names) {
  auto store = std::make_shared<ModelBuilder>();
  for (const std::string& name : names) store->add_variable(0.0, 1.0, 0.0, 0, name.c_str(), nullptr);
  return store;
}

// The generated names "x#0", "x#1", ... are interned once per process, by the first model
// that uses them; BM_InternNewNames shows that one-time cost. This is every later model.
void BM_AddUnnamedVariables(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  velorium::get_names_holder()->get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, kCount);
  for (auto _ : state) {
    auto store = std::make_shared<ModelBuilder>();
    for (int i = 0; i < kCount; ++i) store->add_variable(0.0, 10.0, 1.0, 0, nullptr, nullptr);
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_AddUnnamedVariables)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AddNamedVariables(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  for (auto _ : state) {
    state.PauseTiming();
    const auto names = fresh_names(kCount);
    auto store = std::make_shared<ModelBuilder>();
    state.ResumeTiming();
    for (const std::string& name : names) store->add_variable(0.0, 10.0, 0.0, 0, name.c_str(), nullptr);
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_AddNamedVariables)->Unit(benchmark::kMillisecond)->Iterations(3);

// Look-ups in the order the names were added (arg 0) and in random order (arg 1), once the
// name index is built.
void BM_LookUpByName(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  auto names = fresh_names(kCount);
  auto store = named_store(names);
  store->variable_exists(names.front());  // builds the name index once, outside the timing
  if (state.range(0) == 1) std::shuffle(names.begin(), names.end(), std::mt19937(1));
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const std::string& name : names) sum += store->find_variable_index(name);
    benchmark::DoNotOptimize(sum);
  }
  report(state, kCount);
}
BENCHMARK(BM_LookUpByName)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RemoveHalf(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  const auto names = fresh_names(kCount);
  std::vector<std::int32_t> order(kCount / 2);
  for (int i = 0; i < kCount / 2; ++i) order[static_cast<std::size_t>(i)] = 2 * i;
  std::shuffle(order.begin(), order.end(), std::mt19937(2));
  for (auto _ : state) {
    state.PauseTiming();
    auto store = named_store(names);
    state.ResumeTiming();
    for (const std::int32_t index : order) store->remove_variable(index);
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kCount / 2.0);
}
BENCHMARK(BM_RemoveHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

// Unnamed additions once the first half of the variables is gone: every generated name then
// needs the search past the names still taken, which must not grow with the model.
void BM_AddUnnamedAfterRemovingHalf(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  constexpr int kAdded = 100000;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_shared<ModelBuilder>();
    for (int i = 0; i < kCount; ++i) store->add_variable(0.0, 1.0, 0.0, 0, nullptr, nullptr);
    for (int i = 0; i < kCount / 2; ++i) store->remove_variable(i);
    store->variable_exists("x#0");  // builds the name index once, outside the timing
    state.ResumeTiming();
    for (int i = 0; i < kAdded; ++i) {
      store->remove_variable(kCount / 2 + i);  // one removal and one addition, repeatedly
      store->add_variable(0.0, 1.0, 0.0, 0, nullptr, nullptr);
    }
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kAdded);
}
BENCHMARK(BM_AddUnnamedAfterRemovingHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InternNewNames(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const auto names = fresh_names(kCount);
    auto pool = std::make_unique<VeloriumNamesHolder>();
    state.ResumeTiming();
    for (const std::string& name : names) benchmark::DoNotOptimize(pool->find_or_add_name(name));
    state.PauseTiming();
    pool.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_InternNewNames)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- Matrix-form additions and the flat model ---------------------------------------------

using velorium::bench::PeakMemoryProbe;

using ModelHandle = std::unique_ptr<velorium::cpp_impl::ModelImpl, void (*)(velorium::cpp_impl::ModelImpl*)>;
ModelHandle new_model() {
  return ModelHandle(new velorium::cpp_impl::ModelImpl(), [](velorium::cpp_impl::ModelImpl* m) { m->Release(); });
}

constexpr int kRows = 100000;
constexpr int kRowLength = 50;
constexpr int kRowVariables = 100000;

// kRows rows of kRowLength distinct random positions among kRowVariables variables.
struct RowPattern {
  std::vector<std::int32_t> positions;
  std::vector<double> values;
  RowPattern() : positions(static_cast<std::size_t>(kRows) * kRowLength), values(positions.size()) {
    std::mt19937 random(3);
    std::uniform_int_distribution<std::int32_t> step(1, 2 * kRowVariables / kRowLength - 1);
    std::uniform_real_distribution<double> coefficient(-10.0, 10.0);
    for (int r = 0; r < kRows; ++r) {
      std::int32_t position = step(random) - 1;
      for (int k = 0; k < kRowLength; ++k) {
        positions[static_cast<std::size_t>(r) * kRowLength + k] = position % kRowVariables;
        values[static_cast<std::size_t>(r) * kRowLength + k] = coefficient(random);
        position += step(random);
      }
    }
  }
  static const RowPattern& get() {
    static const RowPattern pattern;
    return pattern;
  }
};

void add_row_variables(velorium::IMatrixModel& model) {
  const double lower = 0.0, upper = 100.0;
  const std::int32_t type = 0;
  model.AddVariables(kRowVariables, &lower, 1, &upper, 1, nullptr, 0, &type, 1);
}

void add_pattern_rows(velorium::IMatrixModel& model) {
  const RowPattern& pattern = RowPattern::get();
  for (int r = 0; r < kRows; ++r) {
    const std::size_t first = static_cast<std::size_t>(r) * kRowLength;
    model.AddConstraintLinearSparse(pattern.values.data() + first, pattern.positions.data() + first, kRowLength,
                                    velorium::constraint_sense::less_equal, 1.0);
  }
}

void BM_AddVariablesInBulk(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  velorium::get_names_holder()->get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, kCount);
  std::vector<double> objective(kCount, 1.0);
  const double lower = 0.0, upper = 10.0;
  const std::int32_t type = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ModelHandle model = new_model();
    state.ResumeTiming();
    model->AddVariables(kCount, &lower, 1, &upper, 1, objective.data(), kCount, &type, 1);
    benchmark::DoNotOptimize(model->GetVariablesCount());
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_AddVariablesInBulk)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr double kRowNonzeros = static_cast<double>(kRows) * kRowLength;

// Runs `timed` on a model with the row variables; with `rows_timed` the pattern rows are
// added inside the timing, else before it. per_op is per nonzero; bytes_per_nz the peak
// growth of resident memory per nonzero from the rows on.
template <class Timed>
void run_row_benchmark(benchmark::State& state, bool rows_timed, Timed timed) {
  velorium::cpp_impl::get_or_create_kernel();
  velorium::get_names_holder()->get_generated_name(VeloriumNamesHolder::GeneratedPrefix::row, kRows);
  RowPattern::get();
  double peak_growth = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    ModelHandle model = new_model();
    add_row_variables(*model);
    const PeakMemoryProbe probe;
    if (rows_timed) state.ResumeTiming();
    add_pattern_rows(*model);
    if (!rows_timed) state.ResumeTiming();
    timed(*model, state);
    state.PauseTiming();
    peak_growth = std::max(peak_growth, static_cast<double>(probe.growth_bytes()));
    model.reset();
    state.ResumeTiming();
  }
  report(state, kRowNonzeros);
  state.counters["bytes_per_nz"] = peak_growth / kRowNonzeros;
}

void BM_AddLinearSparseRows(benchmark::State& state) {
  run_row_benchmark(state, true, [](velorium::cpp_impl::ModelImpl& model, benchmark::State&) {
    benchmark::DoNotOptimize(model.GetConstraintsCount());
  });
}
BENCHMARK(BM_AddLinearSparseRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// The flat model after 1% of the rows were removed: a new model without them.
void BM_CompactAfterRemovingRows(benchmark::State& state) {
  std::vector<std::int32_t> removed(kRows);
  for (int r = 0; r < kRows; ++r) removed[static_cast<std::size_t>(r)] = r;
  std::shuffle(removed.begin(), removed.end(), std::mt19937(4));
  removed.resize(kRows / 100);
  run_row_benchmark(state, false, [&removed](velorium::cpp_impl::ModelImpl& model, benchmark::State& timing) {
    timing.PauseTiming();
    ModelBuilder& store = *model.store();
    for (const std::int32_t row : removed) store.remove_row(row);
    std::shared_ptr<velorium::Model> flat;
    std::vector<std::int32_t> variable_map, row_map;
    timing.ResumeTiming();
    store.build_model(flat, variable_map, row_map);
    benchmark::DoNotOptimize(flat->rows.size());
    timing.PauseTiming();
    flat.reset();  // not part of the figure
    timing.ResumeTiming();
  });
}
BENCHMARK(BM_CompactAfterRemovingRows)->Unit(benchmark::kMillisecond)->Iterations(3);
// Expressions built term by term through the object interface; per_op is per term.

// Variable handles of a store with `count` unnamed variables.
struct VariableHandles {
  std::shared_ptr<ModelBuilder> store = std::make_shared<ModelBuilder>();
  std::vector<velorium::IVariable*> variables;

  explicit VariableHandles(int count) {
    for (int i = 0; i < count; ++i) {
      const std::int32_t index = store->add_variable(0.0, 1.0, 0.0, 0, nullptr, nullptr);
      variables.push_back(new velorium::cpp_impl::VariableImpl(store, index));
    }
  }
  ~VariableHandles() {
    for (velorium::IVariable* v : variables) v->Release();
  }
};

// range(0) rows of 10 terms, each a new free expression filled with AddTerm and added to the
// store as a row.
void BM_RowsOfTenTermsTermByTerm(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  constexpr int kTermsPerRow = 10;
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto handles = std::make_unique<VariableHandles>(10000);
    const int n = static_cast<int>(handles->variables.size());
    state.ResumeTiming();
    for (int r = 0; r < rows; ++r) {
      velorium::ILinearExpression* e = CreateLinearExpression();
      for (int k = 0; k < kTermsPerRow; ++k) {
        e->AddTerm(handles->variables[static_cast<std::size_t>((r * 7 + k * 997) % n)], 1.0 + k);
      }
      handles->store->add_row(velorium::cpp_impl::store_of(e)->get_terms(), -velorium::kVeloriumInf, 1.0, nullptr,
                              nullptr);
      e->Release();
    }
    benchmark::DoNotOptimize(handles->store->row_count());
    state.PauseTiming();
    handles.reset();
    state.ResumeTiming();
  }
  report(state, static_cast<double>(rows) * kTermsPerRow);
}
BENCHMARK(BM_RowsOfTenTermsTermByTerm)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One quadratic expression of range(0) distinct pairs, one AddTerm each.
void BM_QuadraticTermByTerm(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  const int terms = static_cast<int>(state.range(0));
  VariableHandles handles(1000);
  for (auto _ : state) {
    velorium::IQuadExpression* q = CreateQuadExpression();
    int added = 0;
    for (std::size_t i = 0; i < handles.variables.size() && added < terms; ++i) {
      for (std::size_t j = i; j < handles.variables.size() && added < terms; ++j, ++added) {
        q->AddTerm(handles.variables[i], handles.variables[j], 1.0);
      }
    }
    benchmark::DoNotOptimize(q->GetTermsCount());
    q->Release();
  }
  report(state, terms);
}
BENCHMARK(BM_QuadraticTermByTerm)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One quadratic expression summed from range(0) expressions of one term each (as `total +=
// a * b` does), in a model with a removed variable: each merge must cost the same however long
// the total has grown.
void BM_QuadraticSummedByMerges(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  const int terms = static_cast<int>(state.range(0));
  constexpr std::size_t kUsed = 1000;
  VariableHandles handles(kUsed + 1);
  handles.variables[kUsed]->Remove();
  for (auto _ : state) {
    velorium::IQuadExpression* total = CreateQuadExpression();
    velorium::IQuadExpression* product = CreateQuadExpression();
    int added = 0;
    for (std::size_t i = 0; i < kUsed && added < terms; ++i) {
      for (std::size_t j = i; j < kUsed && added < terms; ++j, ++added) {
        product->AddTerm(handles.variables[i], handles.variables[j], 1.0);
        total->AddExpression(product, 1.0);
        product->RemoveTerm(0);
      }
    }
    benchmark::DoNotOptimize(total->GetTermsCount());
    product->Release();
    total->Release();
  }
  report(state, terms);
}
BENCHMARK(BM_QuadraticSummedByMerges)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The objective filled through a view, one AddTerm per variable.
void BM_ObjectiveViewTermByTerm(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  const int terms = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto handles = std::make_unique<VariableHandles>(terms);
    state.ResumeTiming();
    velorium::ILinearExpression* objective =
        velorium::cpp_impl::make_linear_view(velorium::cpp_impl::expr_data::make_objective_view(handles->store));
    for (velorium::IVariable* v : handles->variables) objective->AddTerm(v, 2.0);
    benchmark::DoNotOptimize(objective->GetTermsCount());
    objective->Release();
    state.PauseTiming();
    handles.reset();
    state.ResumeTiming();
  }
  report(state, terms);
}
BENCHMARK(BM_ObjectiveViewTermByTerm)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Last, so that the memory it leaves to the allocator does not hide the growth above.
// Many empty models at once: the resident memory each one costs, and the time to make one.
void BM_CreateEmptyModels(benchmark::State& state) {
  constexpr int kModels = 10000;
  CreateModel()->Release();  // the process-wide parts (core object, option registry) come first
  double bytes_per_model = 0.0;
  for (auto _ : state) {
    std::vector<velorium::IModel*> models;
    models.reserve(kModels);
    state.PauseTiming();
    const PeakMemoryProbe probe;
    state.ResumeTiming();
    for (int i = 0; i < kModels; ++i) models.push_back(CreateModel());
    state.PauseTiming();
    bytes_per_model = std::max(bytes_per_model, static_cast<double>(probe.growth_bytes()) / kModels);
    for (velorium::IModel* model : models) model->Release();
    state.ResumeTiming();
  }
  report(state, kModels);
  state.counters["bytes_per_model"] = bytes_per_model;
}
BENCHMARK(BM_CreateEmptyModels)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
