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

// A file descriptor closed on scope exit unless closed (and checked) before.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // False when the close reported an error (for a written file: data may be lost).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The body file being written; every write is checked.
class BodyWriter {
 public:
  explicit BodyWriter(const std::string& path)
      : path_(path), fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)) {
    if (fd_.get() < 0) file_failure("cannot create the upload body", path_);
  }
  void write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t wrote = ::write(fd_.get(), bytes, size);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) file_failure("cannot write the upload body", path_);
      bytes += wrote;
      size -= static_cast<std::size_t>(wrote);
    }
  }
  void write(const std::string& text) { write(text.data(), text.size()); }
  void finish() {
    if (!fd_.close()) file_failure("cannot close the upload body", path_);
  }

 private:
  std::string path_;
  Descriptor fd_;
};

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

void write_file_part_header(BodyWriter& body, const std::string& part_name) {
  body.write(std::string("--") + kMultipartBoundary + "\r\n" +
             "Content-Disposition: form-data; name=\"file\"; filename=\"" + part_name + "\"\r\n\r\n");
}

void write_raw_file_part(BodyWriter& body, SourceReader& source, std::vector<char>& buffer) {
  while (const std::size_t got = source.read(buffer.data())) body.write(buffer.data(), got);
}

// One gzip member, compressed in blocks on the machine's processors.
void write_gzip_file_part(BodyWriter& body, SourceReader& source) {
  write_gzip_member([&source](char* buffer, std::size_t capacity) { return source.read(buffer, capacity); },
                    [&body](const unsigned char* data, std::size_t size) { body.write(data, size); },
                    gzip_workers_for_this_machine());
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
  form.body_folder = std::make_unique<PrivateFolder>("", "velorium-upload-");
  form.body_file = std::make_unique<TemporaryFile>("mltprt", "tmp", form.body_folder->path(), true, true);
  BodyWriter body(form.body_file->path());
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
                 IProgressReporter* preparing, IProgressReporter* uploading) {
  MultipartForm form;
  form.fields.assign(calculation.upload_fields.begin(), calculation.upload_fields.end());
  form.files.push_back({std::move(file), std::string(), gzip});
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
