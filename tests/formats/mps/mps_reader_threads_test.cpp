// COLUMNS read by several threads gives what the line-by-line reading gives, wherever the
// batches and pieces of text happen to be cut: the same model, the same warnings, and the
// same first failure with the same line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/mps/mps_read_helper.hpp"

namespace velorium {
namespace {

using mps_test::expectIdenticalReadings;
using mps_test::forcedThreads;
using mps_test::MpsRead;
using mps_test::readMpsPathWith;

// Cuts batches after every byte count up to a little past the longest line and pieces of one
// line, a few lines and the whole batch, with one thread and with several.
void expectSameEverywhere(const std::string& text, const std::string& what) {
  mps_test::ScratchDir dir;
  const std::string path = dir.write("cut.mps", text);
  const MpsRead lines = readMpsPathWith(path, mps_test::noThreads());
  for (std::size_t workers : {1, 3}) {
    for (std::size_t piece : {1, 12, 100000}) {
      for (std::size_t batch = 1; batch <= 91; ++batch) {
        if (batch == 91) batch = 100000;  // the whole file at once
        const MpsRead threaded = readMpsPathWith(path, forcedThreads(workers, batch, piece));
        expectIdenticalReadings(lines, threaded,
                                what + ": batch " + std::to_string(batch) + ", piece " + std::to_string(piece) + ", threads " +
                                    std::to_string(workers));
        if (::testing::Test::HasFailure()) return;
      }
    }
  }
}

const std::string kRows =
    "NAME cuts\n"
    "ROWS\n"
    " N obj\n"
    " L r1\n"
    " G a_row_name_longer_than_sixteen\n"
    " E r3\n"
    "COLUMNS\n";

const std::string kTail =
    "RHS\n"
    " rhs r1 4 r3 1\n"
    "BOUNDS\n"
    " UP bnd x1 8\n"
    "ENDATA\n";

TEST(MpsReaderThreadsTest, EveryCutGivesTheSameModel) {
  const std::string columns =
      "    x1  obj  1   r1  2\n"
      "    x1  a_row_name_longer_than_sixteen  -3.5\n"
      "* a comment between the lines of a column\n"
      "\n"
      "        r3  7\n"                                          // the column left out
      "    M1  'MARKER'  'INTORG'\n"
      "    y  obj  0   r1  1e-3\n"                               // a zero dropped
      "    y  r3  2\r\n"
      "    a_column_name_that_is_longer_than_thirty_two_bytes  r1  1\n"
      "\ta_column_name_that_is_longer_than_thirty_two_bytes\tr3\t-1\n"
      "    M2  'MARKER'  'INTEND'\n"
      "    v  r1  1\n"
      "    M3  'MARKER'  'INTORG'\n"
      "    v  r3  1\n"                                          // a column made integer by a later line
      "    M4  'MARKER'  'INTEND'\n"
      "    z  nowhere  5   r1  6\n"                              // an unknown row: a warning
      "    z  obj  0.25\n"
      "    RHS  r1  9\n";                                        // an indented column named RHS
  expectSameEverywhere(kRows + columns + kTail, "model");
  // A second section describes a column of the first again.
  expectSameEverywhere(kRows + columns + "COLUMNS\n    x1  r3  3\n    w  r1  1\n" + kTail, "second section");
  // The file ends inside the section, with and without a line feed at its end.
  expectSameEverywhere(kRows + columns, "no ENDATA");
  expectSameEverywhere(kRows + columns + "    w  r1  1", "unfinished last line");
}

TEST(MpsReaderThreadsTest, TheFirstFailureInTheFileWins) {
  const std::string good = "    x1  obj  1   r1  2\n    x2  r1  1\n    x2  r3  1\n    x3  r3  4\n";
  struct Case {
    const char* what;
    std::string columns;
  };
  const std::vector<Case> cases = {
      {"a row twice in a column, on the first line", "    x0  r1  1  r1  2\n" + good},
      {"a row twice in a column, on the last line", good + "    x3  r3  5\n"},
      {"a row twice in a column between others", "    x0  r1  1\n    xa  r1  1   r3  2\n    xa  r3  1\n" + good},
      {"a column described twice, then a bad number", good + "    x1  r3  1\n    x9  r1  one\n"},
      {"a bad number, then a column described twice", "    x9  r1  one\n" + good + "    x1  r3  1\n"},
      {"a NaN after warnings", "    x0  nowhere  1\n" + good + "    x4  r1  nan\n"},
      {"an infinite coefficient", good + "    x4  r1  -inf\n"},
      {"a marker out of turn", good + "    M  'MARKER'  'INTEND'\n    x5  r1  1\n"},
      {"an unknown marker", good + "    M  'MARKER'  'INTXXX'\n"},
      {"a column left out on the first line", "        r1  1\n" + good},
      {"too many fields", good + "    x4  r1  1  r3  2  r1\n"},
      {"a NUL byte", good + std::string("    x4  r1 \0 1\n", 15) + good},
      {"a section the reader refuses", good + "SOS\n"},
  };
  for (const Case& c : cases) {
    expectSameEverywhere(kRows + c.columns + kTail, c.what);
  }
}

// A file large enough for the usual batches, read with the threads the machine allows.
TEST(MpsReaderThreadsTest, ALargeFileGivesTheSameModelWithUsualBatches) {
  std::string text = "ROWS\n N obj\n";
  for (int r = 0; r < 3000; ++r) text += " L r" + std::to_string(r) + "\n";
  text += "COLUMNS\n";
  for (int c = 0; c < 60000; ++c) {
    const std::string column = "    x" + std::to_string(c);
    if (c % 1000 == 0) text += "    M  'MARKER'  '" + std::string(c % 2000 == 0 ? "INTORG" : "INTEND") + "'\n";
    text += column + "  obj  " + std::to_string(c % 7) + "\n";
    for (int k = 0; k < 8; ++k) {
      text += column + "  r" + std::to_string((c * 13 + k * 101) % 3000) + "  " + std::to_string(k + 1) + ".25\n";
    }
    if (c % 5000 == 17) text += column + "  missing" + std::to_string(c) + "  1\n";
  }
  mps_test::ScratchDir dir;
  const std::string good = dir.write("large.mps", text + "RHS\n r r0 1\nENDATA\n");
  const MpsRead lines = readMpsPathWith(good, mps_test::noThreads());
  ASSERT_NE(lines.model, nullptr) << lines.log;
  EXPECT_EQ(lines.model->variables.size(), 60000u);
  expectIdenticalReadings(lines, readMpsPathWith(good, mps_test::threadsOnly()), "usual threads");
  expectIdenticalReadings(lines, readMpsPathWith(good, forcedThreads(7, 0, 0)), "seven threads");

  // Deep in the file, a column described again after its neighbours.
  const std::string bad = dir.write("late.mps", text + "    x30000  r1  1\n    x59999  r2  1\nENDATA\n");
  const MpsRead late = readMpsPathWith(bad, mps_test::noThreads());
  EXPECT_NE(late.log.find("Повторение описания переменной [x30000]"), std::string::npos) << late.log;
  expectIdenticalReadings(late, readMpsPathWith(bad, forcedThreads(3, 0, 0)), "late failure");
}

}  // namespace
}  // namespace velorium
