#include "cloud/proxy_endpoint_cache.hpp"

#include <mutex>
#include <unordered_map>

namespace velorium::nimbrova {

namespace {

struct Cache {
  std::mutex mutex;
  std::unordered_map<std::string, boost::asio::ip::tcp::endpoint> endpoints;
};

Cache& cache() {
  static Cache instance;
  return instance;
}

}  // namespace

std::optional<boost::asio::ip::tcp::endpoint> cached_proxy_endpoint(const std::string& proxy_url) {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  const auto found = c.endpoints.find(proxy_url);
  if (found == c.endpoints.end()) return std::nullopt;
  return found->second;
}

void remember_proxy_endpoint(const std::string& proxy_url, const boost::asio::ip::tcp::endpoint& endpoint) {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  c.endpoints.emplace(proxy_url, endpoint);
}

std::size_t proxy_endpoint_cache_size() {
  Cache& c = cache();
  std::lock_guard lock(c.mutex);
  return c.endpoints.size();
}

}  // namespace velorium::nimbrova
