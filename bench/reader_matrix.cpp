// The reader matrix: our MPS and LP readers against cbc on files of every ordinary shape.
//
// Shapes: MPS with one or two entries a line, LP with short lines (about 80 characters, as
// glpsol and most writers give) or long ones (up to 560, as our writer gives); short names
// (the fewest characters the counts allow: 2 to 4) or names of 20 characters; numbers of 1
// to 3 or of 17 significant digits; with or without RANGES and BOUNDS (ranged rows and a
// Bounds section in LP). Each combination of names, numbers and sections is one model, sized
// so that its MPS file with one entry a line is about --megabytes MB; its four files (two MPS,
// two LP) are written, each read in turns by our reader and by cbc, both as whole programs
// started afresh, --rounds times (who goes first alternates), and removed.
//
// Prints one Markdown table row per file: the medians of both times, their ratio, and our
// reader's peak memory over the size of the model it read (names live in the process's pool
// and are not counted in the model). Every reading is checked: ours must give the model's
// counts, and cbc must read the file without complaint.
//
//   bench_reader_matrix [--format mps|lp|both] [--rounds N] [--megabytes M] [--only TEXT]
//                       [--dir DIR] [--keep yes]
// --keep yes leaves the files in DIR, named after their shapes (for profiling a reader on
// one of them); --rounds 0 then only writes them.
// --only keeps the rows whose label holds TEXT, for instance "MPS | 1 entry" or "| 20 | 17 |".
// Short names are given as the widths of the row and column names.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/records/model.hpp"
#include "matrix_files.hpp"
#include "matrix_model.hpp"
#include "process_memory.hpp"
#include "reader_runs.hpp"
#include "text_file_out.hpp"

namespace {

using namespace velorium;
using namespace velorium::bench;

constexpr const char* kReadOnlyFlag = "--read-only";

// What our reader reports from its fresh process.
struct ReadReport {
  double peak_bytes = 0;   // growth of the resident set during the reading
  double model_bytes = 0;  // what the read model's records hold
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::size_t nonzeros = 0;
};

// The reading mode: reads one file, sends the report to `report_fd` and exits without
// freeing the model, as cbc's reading is timed up to its exit too; fails when the reader does.
int readOnly(const std::string& format, const std::string& path, int report_fd) {
  const PeakMemoryProbe memory;
  const std::shared_ptr<Model> model = readModelQuietly(format, path);
  if (!model) return 1;
  ReadReport report;
  report.peak_bytes = static_cast<double>(memory.growth_bytes());
  report.model_bytes = modelBytes(*model);
  report.rows = model->rows.size();
  report.columns = model->variables.size();
  report.nonzeros = model->objective.linear_terms.size();
  for (const Constraint& row : model->rows) report.nonzeros += row.expression.linear_terms.size();
  const bool sent = ::write(report_fd, &report, sizeof report) == sizeof report;
  ::_exit(sent ? 0 : 1);
}

struct Options {
  std::string format = "both";
  int rounds = 3;
  double megabytes = 100;
  std::string only;
  std::string dir = std::filesystem::temp_directory_path().string();
  bool keep = false;
};

enum class FileKind { mps_one_per_line, mps_two_per_line, lp_short_lines, lp_long_lines };

bool isMps(FileKind kind) { return kind == FileKind::mps_one_per_line || kind == FileKind::mps_two_per_line; }

std::string label(FileKind kind, const ModelStyle& style, std::size_t columns) {
  std::ostringstream text;
  switch (kind) {
    case FileKind::mps_one_per_line:
      text << "| MPS | 1 entry ";
      break;
    case FileKind::mps_two_per_line:
      text << "| MPS | 2 entries ";
      break;
    case FileKind::lp_short_lines:
      text << "| LP | ~80 chars ";
      break;
    case FileKind::lp_long_lines:
      text << "| LP | ~560 chars ";
      break;
  }
  if (style.long_names) {
    text << "| 20 ";
  } else {
    text << "| short: " << MatrixNames::widthFor(matrixRowsFor(columns), false) << ", "
         << MatrixNames::widthFor(columns, false) << ' ';
  }
  text << (style.full_digits ? "| 17 " : "| 1-3 ") << (style.ranges_and_bounds ? "| yes " : "| no ");
  return text.str();
}

// The part of a kept file's name that tells its shape, "-mps1-short-digits3-sections" for instance.
std::string fileTag(FileKind kind, const ModelStyle& style) {
  static const char* const kKinds[] = {"-mps1", "-mps2", "-lp80", "-lp560"};
  return std::string(kKinds[static_cast<int>(kind)]) + (style.long_names ? "-names20" : "-short") +
         (style.full_digits ? "-digits17" : "-digits3") + (style.ranges_and_bounds ? "-sections" : "");
}

ExpectedCounts writeFile(FileKind kind, const MatrixModel& model, const std::string& path) {
  TextFileOut out(path);
  MatrixFileWriter writer(model, out);
  ExpectedCounts counts;
  switch (kind) {
    case FileKind::mps_one_per_line:
      counts = writer.writeMps(1);
      break;
    case FileKind::mps_two_per_line:
      counts = writer.writeMps(2);
      break;
    case FileKind::lp_short_lines:
      counts = writer.writeLp(80);
      break;
    case FileKind::lp_long_lines:
      counts = writer.writeLp(560);
      break;
  }
  if (!out.close()) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  return counts;
}

// The number of columns that makes the model's MPS file with one entry a line about
// `megabytes` MB, from the size of a small model's file.
std::size_t columnsFor(const ModelStyle& style, double megabytes, const std::string& dir) {
  constexpr std::size_t kProbeColumns = 20000;
  const std::string path = dir + "/velorium-matrix-probe.mps";
  writeFile(FileKind::mps_one_per_line, makeMatrixModel(kProbeColumns, style, 1), path);
  const double bytes_per_column = static_cast<double>(std::filesystem::file_size(path)) / kProbeColumns;
  std::filesystem::remove(path);
  return static_cast<std::size_t>(megabytes * 1e6 / bytes_per_column);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string readText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// cbc leaves its exit status at 0 whatever it meets; what it printed says whether it read
// the whole file: an MPS file must give the model's counts (cbc counts no objective entry);
// of an LP file cbc may only say that row names repeat (the two rows of a ranged row), after
// which it numbers the rows itself.
bool cbcReadIt(FileKind kind, const std::string& output, const ExpectedCounts& counts) {
  if (output.find("Unable") != std::string::npos) return false;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("###") != std::string::npos && line.find("checkRowNames") == std::string::npos) return false;
  }
  if (!isMps(kind)) return true;
  const std::string expected = " has " + std::to_string(counts.rows) + " rows, " + std::to_string(counts.columns) +
                               " columns and " + std::to_string(counts.nonzeros - counts.columns) + " elements";
  return output.find(expected) != std::string::npos && output.find("read with 0 errors") != std::string::npos;
}

struct Row {
  double ours_seconds = 0;
  double cbc_seconds = 0;
  ReadReport report;
};

// Both readers in turns, `rounds` times; false, with the reason printed, when a reading fails.
bool measure(FileKind kind, const std::string& path, const ExpectedCounts& counts, const Options& options, Row& row) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string cbc_output = path + ".cbc.txt";
  std::vector<double> ours;
  std::vector<double> cbc;
  for (int round = 0; round < options.rounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool run_ours = (turn == 0) == (round % 2 == 0);
      ProgramTime time;
      if (run_ours) {
        int channel[2];
        if (::pipe(channel) != 0) return false;
        const bool ran = timeProgram({self, kReadOnlyFlag, isMps(kind) ? "mps" : "lp", path, std::to_string(channel[1])}, time);
        ::close(channel[1]);
        const bool reported = ::read(channel[0], &row.report, sizeof row.report) == sizeof row.report;
        ::close(channel[0]);
        if (!ran || !reported) {
          std::printf("our reader failed on %s\n", path.c_str());
          return false;
        }
        const ReadReport& r = row.report;
        if (r.rows != counts.rows || r.columns != counts.columns || r.nonzeros != counts.nonzeros) {
          std::printf("our reader read %zu rows, %zu columns, %zu nonzeros; the file has %zu, %zu, %zu\n", r.rows,
                      r.columns, r.nonzeros, counts.rows, counts.columns, counts.nonzeros);
          return false;
        }
        ours.push_back(time.wall_seconds);
      } else {
        const bool checked = round == 0;  // the first round's output is looked at
        if (!timeProgram({"cbc", "-import", path, "-quit"}, time, checked ? cbc_output.c_str() : "/dev/null")) {
          std::printf("cannot run cbc\n");
          return false;
        }
        if (checked) {
          const bool read_it = cbcReadIt(kind, readText(cbc_output), counts);
          std::filesystem::remove(cbc_output);
          if (!read_it) {
            std::printf("cbc did not read %s without complaint\n", path.c_str());
            return false;
          }
        }
        cbc.push_back(time.wall_seconds);
      }
    }
  }
  row.ours_seconds = median(ours);
  row.cbc_seconds = median(cbc);
  return true;
}

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (flag == "--format" && (value == "mps" || value == "lp" || value == "both")) {
      options.format = value;
    } else if (flag == "--rounds" && std::atoi(value.c_str()) >= 0 && value.find_first_not_of("0123456789") == std::string::npos) {
      options.rounds = std::atoi(value.c_str());
    } else if (flag == "--megabytes" && std::atof(value.c_str()) > 0) {
      options.megabytes = std::atof(value.c_str());
    } else if (flag == "--only") {
      options.only = value;
    } else if (flag == "--dir") {
      options.dir = value;
    } else if (flag == "--keep" && value == "yes") {
      options.keep = true;
    } else {
      return false;
    }
  }
  return true;
}

double loadAverage() {
  double load = 0;
  std::ifstream("/proc/loadavg") >> load;
  return load;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], kReadOnlyFlag) == 0) return readOnly(argv[2], argv[3], std::atoi(argv[4]));
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--format mps|lp|both] [--rounds N] [--megabytes M] [--only TEXT] [--dir DIR] [--keep yes]\n",
                 argv[0]);
    return 2;
  }
  if (std::system("command -v cbc >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "cbc is not installed (tools/setup-machine installs it)\n");
    return 1;
  }
  std::vector<FileKind> kinds;
  if (options.format != "lp") kinds.insert(kinds.end(), {FileKind::mps_one_per_line, FileKind::mps_two_per_line});
  if (options.format != "mps") kinds.insert(kinds.end(), {FileKind::lp_short_lines, FileKind::lp_long_lines});

  std::printf("Reader matrix: %d rounds in turns with cbc, medians; load average %.1f at the start.\n\n", options.rounds,
              loadAverage());
  std::printf("| Format | Per line | Names | Digits | Ranges, bounds | File MB | Nonzeros | Ours s | cbc s | Times as fast "
              "| Peak / model |\n");
  std::printf("|---|---|---|---|---|---:|---:|---:|---:|---:|---:|\n");
  std::fflush(stdout);
  double slowest[2] = {1e300, 1e300};  // the lowest ratio, MPS and LP
  bool all_read = true;
  std::uint64_t seed = 7;
  for (bool sections : {false, true}) {
    for (bool long_names : {false, true}) {
      for (bool full_digits : {false, true}) {
        const ModelStyle style{long_names, full_digits, sections};
        ++seed;
        const std::size_t columns = columnsFor(style, options.megabytes, options.dir);
        std::vector<FileKind> wanted;
        for (FileKind kind : kinds) {
          if (options.only.empty() || label(kind, style, columns).find(options.only) != std::string::npos) wanted.push_back(kind);
        }
        if (wanted.empty()) continue;
        const MatrixModel model = makeMatrixModel(columns, style, seed);
        for (FileKind kind : wanted) {
          const std::string path = options.dir + "/velorium-matrix" + (options.keep ? fileTag(kind, style) : "") +
                                   (isMps(kind) ? ".mps" : ".lp");
          const ExpectedCounts counts = writeFile(kind, model, path);
          const double file_mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
          if (options.rounds == 0) {
            std::printf("%s| %.0f | %.2fM | written to %s |\n", label(kind, style, columns).c_str(), file_mb,
                        static_cast<double>(counts.nonzeros) / 1e6, path.c_str());
            continue;
          }
          Row row;
          const bool measured = measure(kind, path, counts, options, row);
          if (!options.keep) std::filesystem::remove(path);
          if (!measured) {
            all_read = false;
            continue;
          }
          const double ratio = row.cbc_seconds / row.ours_seconds;
          double& lowest = slowest[isMps(kind) ? 0 : 1];
          lowest = std::min(lowest, ratio);
          std::printf("%s| %.0f | %.2fM | %.2f | %.2f | %.1f | %.2f |\n", label(kind, style, columns).c_str(), file_mb,
                      static_cast<double>(counts.nonzeros) / 1e6, row.ours_seconds, row.cbc_seconds, ratio,
                      row.report.model_bytes > 0 ? row.report.peak_bytes / row.report.model_bytes : 0.0);
          std::fflush(stdout);
        }
      }
    }
  }
  std::printf("\n");
  if (slowest[0] < 1e300) std::printf("MPS: at least %.1f times as fast as cbc.\n", slowest[0]);
  if (slowest[1] < 1e300) std::printf("LP: at least %.1f times as fast as cbc.\n", slowest[1]);
  std::printf("Load average %.1f at the end.\n", loadAverage());
  return all_read ? 0 : 1;
}
