// Name resolution with a deadline that holds. The system's resolver cannot be cancelled, so it
// runs on a thread of its own; the caller waits for it only until the deadline (or an
// interruption of the operation) and then leaves it to finish alone, its answer dropped.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>

namespace velorium::nimbrova {

using Endpoints = std::vector<boost::asio::ip::tcp::endpoint>;

// The endpoints of `host` and `port`, in the resolver's order. Failures are network errors
// (boost::system::system_error) whose text begins with `what`: the resolver's own error, no
// endpoint at all, or network_errc::timed_out once `limit` has passed. OperationInterrupted
// when the calling thread's interruption check asks for it.
Endpoints resolve_endpoints(const std::string& host, const std::string& port, std::chrono::milliseconds limit,
                            const std::string& what);

// What runs on the resolution's thread: fills the endpoints or returns the error.
using NameResolver = std::function<boost::system::error_code(const std::string& host, const std::string& port,
                                                             Endpoints& endpoints)>;
// Puts `resolver` in force (empty: the system's resolver again) and returns the one before.
// Tests only.
NameResolver exchange_name_resolver_for_testing(NameResolver resolver);

}  // namespace velorium::nimbrova
