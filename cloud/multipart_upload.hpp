// Uploading a file to the calculation's pre-signed storage address as one multipart form:
// the create reply's form fields, then the file (gzip-compressed for the model). The body is
// prepared once in a file of a private folder (the operation's), then streamed by every attempt.
//
// The body, byte for byte (B the boundary):
//   per field:  "--" B CRLF  "Content-Disposition: form-data; name=\"NAME\"" CRLF CRLF  VALUE CRLF
//   the file:   "--" B CRLF  "Content-Disposition: form-data; name=\"file\"; filename=\"NAME\"" CRLF CRLF
//               the file's bytes (its gzip stream when compressed)
//   the end:    CRLF CRLF "--" B CRLF  (not the "--" B "--" close delimiter: the storage expects this)
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cloud/client_process_state.hpp"
#include "cloud/cloud_request.hpp"
#include "cloud/private_folder.hpp"
#include "cloud/temporary_file.hpp"
#include "velorium/velorium.hpp"

namespace velorium::nimbrova {

// The same for every upload of every process.
inline constexpr const char* kMultipartBoundary = "33B2FB9127EC4426B087A13F8F06B9F2";

struct MultipartFileEntry {
  std::unique_ptr<TemporaryFile> file;
  std::string part_name;  // empty: the last component of the file's path
  bool gzip = false;
  // The file's gzip member made beforehand (while the file was written); when null or
  // missing on disk, the file is compressed as the body is built.
  std::unique_ptr<TemporaryFile> gzip_member;
};

// One upload. Every temporary file it holds (the uploaded files and the body) is deleted when
// the form goes, whether the upload succeeded or not.
struct MultipartForm {
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<MultipartFileEntry> files;
  // Where the body is built: the operation's private folder (not owned), else a private
  // folder of the form's own beside the first file, declared before the body: it goes after it.
  PrivateFolder* folder = nullptr;
  std::unique_ptr<PrivateFolder> body_folder;
  std::unique_ptr<TemporaryFile> body_file;
  IProgressReporter* preparing_reporter = nullptr;  // not owned; receives source bytes read
};

// Uploads `file` (taking it over) to the calculation's upload address with its form fields.
// The body is built once (a failure there leaves at once), in `folder` when given; then up to
// 3 attempts, 300 and 600 ms apart. `preparing` receives the source bytes read, `uploading`
// the bytes sent; both are optional. `gzip_member` (optional, taken over): the file's member
// made beforehand.
void upload_file(const CalculationInfo& calculation, std::unique_ptr<TemporaryFile> file, bool gzip,
                 IProgressReporter* preparing, IProgressReporter* uploading,
                 std::unique_ptr<TemporaryFile> gzip_member = nullptr, PrivateFolder* folder = nullptr);

// Writes the form's body file unless it has one. A source that cannot be opened fails with
// catalogue message 366 and the path; any failure to read a source or to write or close the
// body is an error: a truncated body is never left for sending.
void build_multipart_body(MultipartForm& form);

// One POST of the form's body file (built first when missing).
CloudReply post_multipart(CloudFileRequest& request, MultipartForm& form, const std::string& address,
                          IProgressReporter* uploading);

// The size of a file in bytes; catalogue message 388 and the path when it cannot be opened.
std::uint64_t get_file_size(const std::string& path);

// A part name that can stand between the quotes of a form's "filename": quotes, backslashes
// and control characters become "_".
std::string safe_part_name(std::string name);

}  // namespace velorium::nimbrova
