#include "core/expressions/model_term_lookups.hpp"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace velorium::cpp_impl {

namespace {

struct ModelPlaces {
  std::shared_ptr<std::atomic<std::uint64_t>> replacements = std::make_shared<std::atomic<std::uint64_t>>(0);
  // place -> its look-up; an entry leaves with its look-up's last holder.
  std::unordered_map<std::int32_t, std::weak_ptr<TermLookup>> lookups;
};

// Models of all threads meet here only when a view is made or a model's terms are replaced.
struct Registry {
  std::mutex lock;
  std::unordered_map<const ModelBuilder*, ModelPlaces> models;
};

// Set when the registry goes with the library's process-wide state (at unload or exit).
// Views may outlive it: a look-up made or released afterwards does without the registry.
constinit std::atomic<bool> registry_torn_down{false};

struct RegistryHolder {
  ~RegistryHolder() { registry_torn_down.store(true, std::memory_order_release); }
  Registry registry;
};

// Built at first use; null once torn down.
Registry* registry() {
  if (registry_torn_down.load(std::memory_order_acquire)) return nullptr;
  static RegistryHolder holder;
  return &holder.registry;
}

}  // namespace

std::shared_ptr<TermLookup> model_term_lookup(const ModelBuilder* builder, std::int32_t place) {
  Registry* registered = registry();
  if (registered == nullptr) return std::make_shared<TermLookup>(std::make_shared<std::atomic<std::uint64_t>>(0));
  Registry& r = *registered;
  std::lock_guard<std::mutex> guard(r.lock);
  ModelPlaces& places = r.models[builder];
  std::weak_ptr<TermLookup>& slot = places.lookups[place];
  if (std::shared_ptr<TermLookup> existing = slot.lock()) return existing;
  TermLookup* raw = new TermLookup(places.replacements);
  std::shared_ptr<TermLookup> made(raw, [builder, place](TermLookup* lookup) {
    if (Registry* registered_now = registry()) {
      Registry& owner = *registered_now;
      std::lock_guard<std::mutex> cleanup(owner.lock);
      auto model = owner.models.find(builder);
      if (model != owner.models.end()) {
        auto entry = model->second.lookups.find(place);
        // A new look-up may have taken the place after this one expired.
        if (entry != model->second.lookups.end() && entry->second.expired()) model->second.lookups.erase(entry);
        if (model->second.lookups.empty()) owner.models.erase(model);
      }
    }
    delete lookup;
  });
  slot = made;
  return made;
}

void note_model_terms_replaced(const ModelBuilder* builder) noexcept {
  Registry* registered = registry();
  if (registered == nullptr) return;
  Registry& r = *registered;
  std::lock_guard<std::mutex> guard(r.lock);
  auto model = r.models.find(builder);
  if (model != r.models.end()) model->second.replacements->fetch_add(1, std::memory_order_relaxed);
}

}  // namespace velorium::cpp_impl
