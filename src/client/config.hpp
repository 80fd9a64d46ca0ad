// Reading the client configuration for a host that brings its own MES database.
#pragma once

#include <string>

#include "velmora/client.hpp"

namespace velmora::client {

// What loadClientConfig reads; it is loadClientConfig with `requireMesConnection`. Without it a
// missing [MESDB] Connection is no error (mesConnection is ""): the COM server's host hands in
// its own MES database and takes only the timeouts, the statement cache and the providers from
// the file.
ClientConfig readClientSettings(const std::string& home, bool requireMesConnection);

}  // namespace velmora::client
