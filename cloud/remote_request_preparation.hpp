// Turning a model's remote solve into a request: its options become the remote parameters,
// the model is written (with the model's own writers) into a private folder made for the
// operation, its start values go into "start.sol" under the names the written file uses, and
// a client takes over the files and the folder.
#pragma once

#include <memory>
#include <string>

#include "cloud/nimbrova_client.hpp"
#include "formats/namemap/name_map_file.hpp"

namespace velorium::cpp_impl {
class ModelImpl;
}

namespace velorium::nimbrova {

struct RemoteRequest {
  // Null when writing the model file or the name map failed: the model's error information
  // says why, and nothing must be sent.
  std::unique_ptr<Client> client;
  // Names of the written file that differ from the model's own, to the model's own: from the
  // caller's name-map file, or else the names the writer had to make legal or unique.
  NameMap written_to_model;
};

// The model's options into its remote parameters: solver ("auto" sent as "best"), presolve,
// remote_timeout, http_proxy (or VELORIUM_HTTP_PROXY when the option is empty; nothing when
// both are), problem_type ("max"/"min"), time_limit (an infinite one sent as 1000000), gap,
// abs_gap, the two feasibility tolerances, log_to_console and log_file (when not empty).
void fill_remote_parameters(cpp_impl::ModelImpl& model);

// The model file's name: the model's name with ".mps" added unless it ends in ".mps" or ".lp"
// (any letter case; letter case kept), "temp.mps" for a model without a name. Path
// separators, quotes and control characters become "_", so a name never leads out of the
// operation's folder.
std::string remote_model_file_name(const std::string& model_name);

// Fills the parameters, makes the private folder (inside the option temp_folder_path, or the
// system's temporary folder when it is empty), writes the files (the model's gzip member for
// the upload made while the model file is written) and builds the client. With
// `handle_interrupts` (a synchronous solve), interrupts are handled from the start
// (InterruptCancel), so one that comes while the model is written ends the operation.
// `name_mapping_file` (may be empty) is the caller's: written beside the model as
// IModel::Write does. A start value whose variable the model or the name map does not know is
// left out with a warning in the client log. Throws std::exception when the folder or the
// start values cannot be written.
RemoteRequest prepare_remote_request(cpp_impl::ModelImpl& model, const std::string& name_mapping_file,
                                     bool handle_interrupts = false);

}  // namespace velorium::nimbrova
