// The endpoints of proxies already resolved, by proxy address exactly as configured. Kept for
// the life of the process (a proxy's later change of address is not seen); safe from any
// thread.
#pragma once

#include <optional>
#include <string>

#include <boost/asio/ip/tcp.hpp>

namespace velorium::nimbrova {

std::optional<boost::asio::ip::tcp::endpoint> cached_proxy_endpoint(const std::string& proxy_url);
void remember_proxy_endpoint(const std::string& proxy_url, const boost::asio::ip::tcp::endpoint& endpoint);
std::size_t proxy_endpoint_cache_size();

}  // namespace velorium::nimbrova
