#include "cloud/name_resolution.hpp"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include <boost/asio/io_context.hpp>

#include "cloud/network_error.hpp"
#include "cloud/operation_interruption.hpp"

namespace velorium::nimbrova {

namespace {

namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

error_code system_resolver(const std::string& host, const std::string& port, Endpoints& endpoints) {
  net::io_context io;
  tcp::resolver resolver(io);
  error_code ec;
  const tcp::resolver::results_type results = resolver.resolve(host, port, ec);
  if (ec) return ec;
  for (const auto& entry : results) endpoints.push_back(entry.endpoint());
  return {};
}

std::mutex resolver_mutex;
NameResolver& resolver_in_force() {
  static NameResolver resolver;
  return resolver;
}

NameResolver current_resolver() {
  std::lock_guard lock(resolver_mutex);
  return resolver_in_force() ? resolver_in_force() : NameResolver(system_resolver);
}

// Shared by the waiting caller and the resolution's thread, which may outlive the wait.
struct Resolution {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  error_code error;
  Endpoints endpoints;
};

}  // namespace

Endpoints resolve_endpoints(const std::string& host, const std::string& port, std::chrono::milliseconds limit,
                            const std::string& what) {
  throw_if_interrupted();
  auto resolution = std::make_shared<Resolution>();
  try {
    std::thread([resolution, host, port, resolver = current_resolver()] {
      Endpoints endpoints;
      error_code error;
      try {
        error = resolver(host, port, endpoints);
      } catch (...) {
        error = net::error::host_not_found;
      }
      std::lock_guard lock(resolution->mutex);
      resolution->error = error;
      resolution->endpoints = std::move(endpoints);
      resolution->done = true;
      resolution->finished.notify_all();
    }).detach();
  } catch (const std::system_error& e) {
    throw_network_error(error_code(e.code().value(), boost::system::generic_category()), what);
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  const bool checked = interruption_check_in_force();
  std::unique_lock lock(resolution->mutex);
  while (!resolution->done) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) throw_network_error(network_errc::timed_out, what);
    const auto wake = checked ? std::min(deadline, now + kInterruptionSlice) : deadline;
    resolution->finished.wait_until(lock, wake);
    if (!resolution->done && checked) {
      lock.unlock();
      throw_if_interrupted();
      lock.lock();
    }
  }
  if (resolution->error) throw_network_error(resolution->error, what);
  if (resolution->endpoints.empty()) throw_network_error(net::error::host_not_found, what);
  return std::move(resolution->endpoints);
}

NameResolver exchange_name_resolver_for_testing(NameResolver resolver) {
  std::lock_guard lock(resolver_mutex);
  NameResolver previous = std::move(resolver_in_force());
  resolver_in_force() = std::move(resolver);
  return previous;
}

}  // namespace velorium::nimbrova
