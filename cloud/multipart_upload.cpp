#include "cloud/multipart_upload.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include <boost/system/system_error.hpp>

#include "cloud/block_gzip.hpp"
#include "cloud/calculation_state.hpp"
#include "cloud/client_clock.hpp"
#include "cloud/https_exchange.hpp"
#include "cloud/output_file.hpp"
#include "cloud/service_requests.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::nimbrova {

namespace {

constexpr std::size_t kSourceBlock = 65536;
constexpr int kUploadAttempts = 3;
constexpr std::chrono::milliseconds kUploadRetryStep{300};
constexpr int kErrorOpeningFile = 366;
constexpr int kUnableToOpenFile = 388;

[[noreturn]] void file_failure(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// Reads a source file in blocks, counting the bytes for the preparing reporter.
class SourceReader {
 public:
  SourceReader(const std::string& path, std::uint64_t& count, IProgressReporter* reporter)
      : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), count_(count), reporter_(reporter) {
    if (fd_.get() < 0) throw std::runtime_error(get_message(kErrorOpeningFile) + path);
  }
  // The next block of at most `capacity` bytes (and at most kSourceBlock); empty at the end
  // of the file.
  std::size_t read(char* buffer, std::size_t capacity = kSourceBlock) {
    for (;;) {
      const ssize_t got = ::read(fd_.get(), buffer, std::min(capacity, kSourceBlock));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) file_failure("cannot read", path_);
      count_ += static_cast<std::uint64_t>(got);
      if (got > 0 && reporter_) reporter_->SetProgress(count_);
      return static_cast<std::size_t>(got);
    }
  }

 private:
  std::string path_;
  Descriptor fd_;
  std::uint64_t& count_;
  IProgressReporter* reporter_;
};

void write_file_part_header(OutputFile& body, const std::string& part_name) {
  body.write(std::string("--") + kMultipartBoundary + "\r\n" +
             "Content-Disposition: form-data; name=\"file\"; filename=\"" + part_name + "\"\r\n\r\n");
}

void write_raw_file_part(OutputFile& body, SourceReader& source, std::vector<char>& buffer) {
  while (const std::size_t got = source.read(buffer.data())) body.write(buffer.data(), got);
}

// The gzip member made while the file was written, copied as it is; false when there is none.
// The preparing reporter counts the file's own bytes, as if they had been compressed here.
bool copy_gzip_member(OutputFile& body, const MultipartFileEntry& entry, std::uint64_t& count,
                      IProgressReporter* reporter, std::vector<char>& buffer) {
  if (!entry.gzip_member || ::access(entry.gzip_member->path().c_str(), F_OK) != 0) return false;
  std::uint64_t copied = 0;
  SourceReader member(entry.gzip_member->path(), copied, nullptr);
  write_raw_file_part(body, member, buffer);
  count += get_file_size(entry.file->path());
  if (reporter) reporter->SetProgress(count);
  return true;
}

// One gzip member, compressed in blocks on the machine's processors.
void write_gzip_file_part(OutputFile& body, SourceReader& source) {
  write_gzip_member([&source](char* buffer, std::size_t capacity) { return source.read(buffer, capacity); },
                    [&body](const unsigned char* data, std::size_t size) { body.write(data, size); },
                    gzip_workers_for_this_machine());
}

// The folder of a file's path; "." for a bare name.
std::string parent_folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string last_path_component(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string safe_part_name(std::string name) {
  name = name.substr(0, name.find('\0'));
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') c = '_';
  }
  return name;
}

std::uint64_t get_file_size(const std::string& path) {
  struct stat status{};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error(get_message(kUnableToOpenFile) + path);
  const int got = ::fstat(fd, &status);
  ::close(fd);
  if (got != 0) throw std::runtime_error(get_message(kUnableToOpenFile) + path);
  return static_cast<std::uint64_t>(status.st_size);
}

void build_multipart_body(MultipartForm& form) {
  if (form.body_file) return;
  if (form.preparing_reporter) form.preparing_reporter->Start();
  form.body_file.reset();
  PrivateFolder* folder = form.folder;
  if (!folder) {
    const std::string beside = form.files.empty() ? std::string() : parent_folder(form.files.front().file->path());
    form.body_folder = std::make_unique<PrivateFolder>(beside, "velorium-upload-");
    folder = form.body_folder.get();
  }
  form.body_file = folder->file("mltprt", "tmp", true);
  OutputFile body(form.body_file->path(), "the upload body");
  for (const auto& [name, value] : form.fields) {
    body.write(std::string("--") + kMultipartBoundary + "\r\n" + "Content-Disposition: form-data; name=\"" + name +
               "\"\r\n\r\n" + value + "\r\n");
  }
  std::vector<char> buffer(kSourceBlock);
  std::uint64_t count = 0;
  for (MultipartFileEntry& entry : form.files) {
    std::string part_name = entry.part_name.empty() ? last_path_component(entry.file->path()) : entry.part_name;
    if (entry.gzip) part_name += ".gz";
    write_file_part_header(body, safe_part_name(part_name));
    if (entry.gzip && copy_gzip_member(body, entry, count, form.preparing_reporter, buffer)) continue;
    SourceReader source(entry.file->path(), count, form.preparing_reporter);
    if (entry.gzip) {
      write_gzip_file_part(body, source);
    } else {
      write_raw_file_part(body, source, buffer);
    }
  }
  body.write(std::string("\r\n\r\n--") + kMultipartBoundary + "\r\n");
  body.finish();
}

CloudReply post_multipart(CloudFileRequest& request, MultipartForm& form, const std::string& address,
                          IProgressReporter* uploading) {
  if (!form.body_file) build_multipart_body(form);
  request.set_field("Accept", "*/*");
  boost::system::error_code ec;
  request.message.body().open(form.body_file->path().c_str(), boost::beast::file_mode::scan, ec);
  if (ec) throw boost::system::system_error(ec, "opening the upload body");
  request.set_field("Content-Type", std::string("multipart/form-data; boundary=") + kMultipartBoundary);
  request.message.method(http::verb::post);
  return send_request(request, address, request.proxy, uploading);
}

void upload_file(const CalculationInfo& calculation, std::unique_ptr<TemporaryFile> file, bool gzip,
                 IProgressReporter* preparing, IProgressReporter* uploading,
                 std::unique_ptr<TemporaryFile> gzip_member, PrivateFolder* folder) {
  MultipartForm form;
  form.folder = folder;
  form.fields.assign(calculation.upload_fields.begin(), calculation.upload_fields.end());
  form.files.push_back({std::move(file), std::string(), gzip, std::move(gzip_member)});
  form.preparing_reporter = preparing;
  build_multipart_body(form);
  if (uploading) uploading->SetTotal(get_file_size(form.body_file->path()));
  for (int attempt = 1;; ++attempt) {
    try {
      if (uploading) uploading->Start();
      CloudFileRequest request(get_http_proxy(), calculation_request_timeout());
      post_multipart(request, form, calculation.upload_url, uploading);
      return;
    } catch (const std::exception&) {
      if (attempt >= kUploadAttempts) throw;
      client_clock().sleep_for(attempt * kUploadRetryStep);
    }
  }
}

}  // namespace velorium::nimbrova
