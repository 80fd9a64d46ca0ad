// Reading the client configuration for a host that brings its own MES database.
#pragma once

#include <string>

#include "velmora/client.hpp"

namespace velmora::client {

// What loadClientConfig reads, without requiring [MESDB] Connection (mesConnection is "" when
// it is missing): the COM server's host hands in its own MES database, and takes only the
// timeouts, the statement cache and the providers from the file. Errors as loadClientConfig's.
ClientConfig readClientSettings(const std::string& home);

}  // namespace velmora::client
