#include "cloud/remote_parameters.hpp"

namespace velorium::nimbrova {

RemoteParameters::RemoteParameters() : string_params{{kRemoteSolverAddressParameter, kDefaultCalculationsAddress}} {}

}  // namespace velorium::nimbrova
