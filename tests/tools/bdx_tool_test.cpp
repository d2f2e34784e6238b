// The bdx tool from outside: its output formats and exit codes.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace vrt::test {
namespace {

CommandResult bdx(const std::string& args) { return run_command(built_tool("tools/bdx") + " " + args + " 2>/dev/null"); }

const char* kDeclaration = R"(FILE,DRIVER('BRINDLEX'),NAME('CUSTOMER')
CUS:BYNAME KEY(+CUS:NAME),OPT,NOCASE
CUS:BYID KEY(-CUS:CUSID),PRIMARY
RECORD
CUS:CUSID LONG
CUS:NAME STRING(20)
CUS:AMOUNT DECIMAL(9,2)
END
END
)";

class BdxTool : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir.file("cus.txt"), kDeclaration);
    file = dir.file("C.BDX");
    ASSERT_EQ(bdx("create " + file + " " + dir.file("cus.txt")).exit_code, 0);
  }
  TempDir dir;
  std::string file;
};

TEST_F(BdxTool, ImportStopsAtTheFailingLineAndKeepsTheRowsBefore) {
  write_file(dir.file("rows.csv"), "CUSID,NAME,AMOUNT\n1,Smith,12.5\n2,\"Jones, A\",-3.25\n3,SMITH,1\n4,Late,2\n");
  CommandResult r = bdx("import " + file + " " + dir.file("rows.csv"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "line 4: error 40: Creates Duplicate Key\n");
  r = bdx("dump " + file);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\n1\tSmith\t12.50\n2\tJones, A\t-3.25\n");
  r = bdx("dump " + file + " --key CUS:BYNAME --csv");
  EXPECT_EQ(r.out, "CUS:CUSID,CUS:NAME,CUS:AMOUNT\n2,\"Jones, A\",-3.25\n1,Smith,12.50\n");
  r = bdx("dump " + file + " --key 2");
  EXPECT_EQ(r.out, "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\n2\tJones, A\t-3.25\n1\tSmith\t12.50\n");
  EXPECT_EQ(bdx("check " + file).exit_code, 0);
  EXPECT_EQ(bdx("build " + file).exit_code, 0);
  EXPECT_EQ(bdx("tables " + file).out, "UNNAMED\n");
}

TEST_F(BdxTool, DeclarationReadsBackAndInfoNamesTheTables) {
  CommandResult r = bdx("declare " + file);
  ASSERT_EQ(r.exit_code, 0);
  write_file(dir.file("again.txt"), r.out);
  std::string named = dir.file("MULTI.BDX") + "\\!Second";
  EXPECT_EQ(bdx("create '" + named + "' " + dir.file("again.txt")).exit_code, 0);
  EXPECT_EQ(bdx("tables " + dir.file("MULTI.BDX")).out, "SECOND\n");
  r = bdx("info " + file);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.find("header size: 512\n"), std::string::npos);
  EXPECT_NE(r.out.find("table UNNAMED: number 1, 0 records\n"), std::string::npos);
}

TEST_F(BdxTool, DamageAndMistakesGiveMessagesAndExitCodes) {
  EXPECT_EQ(bdx("dump").exit_code, 2);
  EXPECT_EQ(bdx("frobnicate").exit_code, 2);
  CommandResult r = bdx("dump " + dir.file("NONE.BDX"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "error 2: File Not Found\n");
  write_file(dir.file("JUNK.BDX"), std::string(1000, 'x'));
  r = bdx("check " + dir.file("JUNK.BDX"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_FALSE(r.out.empty());
  EXPECT_EQ(bdx("info " + dir.file("JUNK.BDX")).out, "error 36: Invalid Data File\n");
  // A page overwritten in the middle.
  std::string bytes = read_file(file);
  for (size_t i = 520; i < bytes.size() && i < 700; ++i) bytes[i] = 'Z';
  write_file(file, bytes);
  r = bdx("check " + file);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("page unit 0"), std::string::npos) << r.out;
}

TEST_F(BdxTool, MemosAndBlobsGoThroughDumpAndImportUnchanged) {
  std::string declaration = kDeclaration;
  declaration.replace(declaration.find("RECORD"), 0, "CUS:NOTES MEMO(40)\nCUS:PIC BLOB,BINARY\n");
  write_file(dir.file("memo.txt"), declaration);
  std::string first = dir.file("M1.BDX"), second = dir.file("M2.BDX");
  ASSERT_EQ(bdx("create " + first + " " + dir.file("memo.txt")).exit_code, 0);
  ASSERT_EQ(bdx("create " + second + " " + dir.file("memo.txt")).exit_code, 0);
  // A memo across lines (CRLF kept inside the quotes), with quotes and
  // commas; a blob with a zero byte; an empty memo and blob.
  write_file(dir.file("rows.csv"),
             "NAME,CUS:NOTES,PIC,CUSID\n"
             "Smith,\"said \"\"hi\"\", then\nleft\r\nfor good   \",00FF0a,1\n"
             "Jones,,,2\n"
             "Brown,\ttabbed\\,41,3\n");
  CommandResult r = bdx("import " + first + " " + dir.file("rows.csv"));
  ASSERT_EQ(r.exit_code, 0) << r.out;
  EXPECT_EQ(r.out, "3\n");
  r = bdx("dump " + first + " --csv");
  ASSERT_EQ(r.exit_code, 0);
  std::string dumped = r.out;
  EXPECT_EQ(dumped,
            "CUS:CUSID,CUS:NAME,CUS:AMOUNT,CUS:NOTES,CUS:PIC\n"
            "1,Smith,0,\"said \"\"hi\"\", then\nleft\r\nfor good\",00FF0A\n"
            "2,Jones,0,,\n"
            "3,Brown,0,\ttabbed\\,41\n");
  EXPECT_EQ(bdx("dump " + first).out,
            "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\tCUS:NOTES\tCUS:PIC\n"
            "1\tSmith\t0\tsaid \"hi\", then\\nleft\\r\\nfor good\t00FF0A\n"
            "2\tJones\t0\t\t\n"
            "3\tBrown\t0\t\\ttabbed\\\\\t41\n");
  write_file(dir.file("dumped.csv"), dumped);
  r = bdx("import " + second + " " + dir.file("dumped.csv"));
  ASSERT_EQ(r.exit_code, 0) << r.out;
  EXPECT_EQ(bdx("dump " + second + " --csv").out, dumped);
  EXPECT_EQ(bdx("check " + second).exit_code, 0);

  // Values that do not fit stop the import at their record's first line.
  write_file(dir.file("bad.csv"), "CUSID,NOTES,PIC\n\n7,\"two\nlines\",0G\n");
  r = bdx("import " + second + " " + dir.file("bad.csv"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "line 3: CUS:PIC is not hexadecimal\n");
  write_file(dir.file("long.csv"), "CUSID,NOTES\n8," + std::string(41, 'x') + "\n");
  EXPECT_EQ(bdx("import " + second + " " + dir.file("long.csv")).out, "line 2: CUS:NOTES holds at most 40 characters\n");
  write_file(dir.file("open.csv"), "CUSID,NOTES\n9,\"never closed\n\n");
  EXPECT_EQ(bdx("import " + second + " " + dir.file("open.csv")).out, "line 2: a quoted value is not closed\n");
  EXPECT_EQ(bdx("dump " + second + " --csv").out, dumped) << "a refused import changed the file";
}

// Offsets 6 and 10 of the header bracket the shadow area of an update.
void bracket(std::string& bytes, uint32_t start, uint32_t end) {
  for (int i = 0; i < 4; ++i) {
    bytes[6 + i] = static_cast<char>(start >> (8 * i));
    bytes[10 + i] = static_cast<char>(end >> (8 * i));
  }
}

TEST_F(BdxTool, CheckReportsAnInterruptedUpdateAndRecoverResolvesIt) {
  write_file(dir.file("rows.csv"), "CUSID,NAME,AMOUNT\n1,Smith,12.5\n");
  ASSERT_EQ(bdx("import " + file + " " + dir.file("rows.csv")).exit_code, 0);
  std::string sound = read_file(file);
  EXPECT_EQ(bdx("recover " + file).out, "nothing to recover\n");

  // A whole shadow area (here just the header's copy): the update is decided.
  std::string bytes = sound + sound.substr(0, 512);
  bracket(bytes, static_cast<uint32_t>(sound.size()), static_cast<uint32_t>(bytes.size()));
  write_file(file, bytes);
  CommandResult r = bdx("check " + file);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("bdx recover"), std::string::npos) << r.out;
  EXPECT_EQ(read_file(file), bytes) << "check changed the file";
  r = bdx("recover " + file);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "rolled forward\n");
  EXPECT_EQ(bdx("check " + file).exit_code, 0);
  EXPECT_EQ(bdx("recover " + file).out, "nothing to recover\n");

  // A torn one, running past the end of the file: the update is dropped.
  bytes = sound;
  bracket(bytes, static_cast<uint32_t>(sound.size()), static_cast<uint32_t>(sound.size() + 4096));
  write_file(file, bytes);
  EXPECT_EQ(bdx("recover " + file).out, "rolled back\n");
  EXPECT_EQ(bdx("check " + file).exit_code, 0);
  EXPECT_EQ(bdx("dump " + file).out, "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\n1\tSmith\t12.50\n");
  EXPECT_EQ(bdx("recover " + dir.file("NONE.BDX")).exit_code, 1);
}

// Import stores what it was given or refuses the record: nothing is cut,
// wrapped or read as zero, and nothing of a refused record is stored.
TEST_F(BdxTool, ImportRefusesValuesTheFieldsCannotHold) {
  write_file(dir.file("types.txt"), R"(FILE,DRIVER('BRINDLEX')
RECORD
T:S SHORT
T:B BYTE
T:D DECIMAL(5,2)
T:C CSTRING(8)
T:DT DATE
T:R SREAL
END
END
)");
  std::string types = dir.file("T.BDX");
  ASSERT_EQ(bdx("create " + types + " " + dir.file("types.txt")).exit_code, 0);
  struct Case {
    const char* row;
    const char* message;
  };
  const Case refused[] = {
      {"70000,1,1,a,0,1", "line 3: T:S: '70000' does not fit a SHORT\n"},
      {"1,300,1,a,0,1", "line 3: T:B: '300' does not fit a BYTE\n"},
      {"1,-1,1,a,0,1", "line 3: T:B: '-1' does not fit a BYTE\n"},
      {"1,1,1234.567,a,0,1", "line 3: T:D: '1234.567' does not fit a DECIMAL\n"},
      {"1,1,-999.995,a,0,1", "line 3: T:D: '-999.995' does not fit a DECIMAL\n"},
      {"1,1,1,toolongcode,0,1", "line 3: T:C: 'toolongcode' is longer than 7 characters\n"},
      {"1,1,1,a,abc,1", "line 3: T:DT: 'abc' is not a number\n"},
      {"1,1,1,a,2,1", "line 3: T:DT: '2' does not fit a DATE\n"},
      {"1,1,1,a,0,1e39", "line 3: T:R: '1e39' does not fit a SREAL\n"},
      {"1,1,1x,a,0,1", "line 3: T:D: '1x' is not a number\n"},
  };
  for (const Case& c : refused) {
    // The record before the refused one stays; the refused one is not there.
    write_file(dir.file("r.csv"), std::string("S,B,D,C,DT,R\n2,2,2,ok,58015,2\n") + c.row + "\n");
    CommandResult r = bdx("import " + types + " " + dir.file("r.csv"));
    EXPECT_EQ(r.exit_code, 1) << c.row;
    EXPECT_EQ(r.out, c.message);
  }
  CommandResult r = bdx("dump " + types + " --csv");
  EXPECT_EQ(r.out, "T:S,T:B,T:D,T:C,T:DT,T:R\n" + [] {
    std::string rows;
    for (int i = 0; i < 10; ++i) rows += "2,2,2.00,ok,58015,2\n";
    return rows;
  }());
  // Extra places are rounded, halves away from zero; whole numbers likewise.
  ASSERT_EQ(bdx("create " + types + " " + dir.file("types.txt") + " --replace").exit_code, 0);
  write_file(dir.file("round.csv"), "S,B,D,C,DT,R\n-2.5,254.5,1.005,1234567,,\n+3,0,-999.994,,58015,0.5\n");
  r = bdx("import " + types + " " + dir.file("round.csv"));
  EXPECT_EQ(r.out, "2\n");
  EXPECT_EQ(bdx("dump " + types + " --csv").out,
            "T:S,T:B,T:D,T:C,T:DT,T:R\n-3,255,1.01,1234567,0,0\n3,0,-999.99,,58015,0.5\n");
}

TEST_F(BdxTool, CreateReplacesATableOnlyWhenAskedTo) {
  write_file(dir.file("rows.csv"), "CUSID,NAME\n1,Smith\n");
  ASSERT_EQ(bdx("import " + file + " " + dir.file("rows.csv")).out, "1\n");
  std::string other = "'" + file + "\\!OTHER'";
  ASSERT_EQ(bdx("create " + other + " " + dir.file("cus.txt")).exit_code, 0);
  CommandResult r = bdx("create " + file + " " + dir.file("cus.txt"));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, file + ": table UNNAMED exists; --replace replaces it\n");
  EXPECT_EQ(bdx("dump " + file).out, "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\n1\tSmith\t0\n");
  EXPECT_EQ(bdx("create " + file + " " + dir.file("cus.txt") + " --replace").exit_code, 0);
  EXPECT_EQ(bdx("dump " + file).out, "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\n");
  EXPECT_EQ(bdx("tables " + file).out, "OTHER\nUNNAMED\n");
}

TEST_F(BdxTool, AnEmptyFileIsAnEmptyBdxFileEverywhere) {
  std::string empty = dir.file("EMPTY.BDX");
  write_file(empty, "");
  CommandResult r = bdx("check " + empty);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(bdx("recover " + empty).out, "nothing to recover\n");
  EXPECT_EQ(bdx("tables " + empty).out, "");
}

// The tab form keeps one record a line: a string's tabs and line ends are
// escaped as a memo's are.
TEST_F(BdxTool, TheTabFormEscapesTabsAndLineEndsInStrings) {
  write_file(dir.file("rows.csv"), "CUSID,NAME\n1,\"a\tb\nc\\d\"\n");
  ASSERT_EQ(bdx("import " + file + " " + dir.file("rows.csv")).out, "1\n");
  EXPECT_EQ(bdx("dump " + file).out, "CUS:CUSID\tCUS:NAME\tCUS:AMOUNT\n1\ta\\tb\\nc\\\\d\t0\n");
  EXPECT_EQ(bdx("dump " + file + " --csv").out, "CUS:CUSID,CUS:NAME,CUS:AMOUNT\n1,\"a\tb\nc\\d\",0\n");
}

// A damaged or truncated file is never dumped short with success, nor
// taken for a missing one.
TEST_F(BdxTool, ADamagedFileDumpsAsInvalidDataFile) {
  std::string csv = "CUSID,NAME\n";
  for (int i = 1; i <= 2000; ++i) csv += std::to_string(i) + ",Name" + std::to_string(i) + "\n";
  write_file(dir.file("rows.csv"), csv);
  ASSERT_EQ(bdx("import " + file + " " + dir.file("rows.csv")).out, "2000\n");
  std::string sound = read_file(file);
  ASSERT_GT(sound.size(), 8192u);
  for (std::string bytes : {sound.substr(0, sound.size() / 2), sound}) {
    if (bytes.size() == sound.size())
      for (size_t i = 0; i < 256; ++i) bytes[bytes.size() / 2 + i] = 'Z';
    write_file(file, bytes);
    for (const char* command : {"dump ", "query "}) {
      std::string extra = command[0] == 'q' ? " --filter \"CUS:CUSID > 0\"" : "";
      CommandResult r = bdx(command + file + extra);
      EXPECT_EQ(r.exit_code, 1) << command;
      EXPECT_NE(r.out.find("error 36: Invalid Data File\n"), std::string::npos) << command << r.out.substr(0, 200);
    }
  }
}

TEST_F(BdxTool, AQueryWhoseFilterCannotBeEvaluatedFails) {
  write_file(dir.file("rows.csv"), "CUSID,NAME\n1,Smith\n2,Jones\n");
  ASSERT_EQ(bdx("import " + file + " " + dir.file("rows.csv")).out, "2\n");
  CommandResult r = bdx("query " + file + " --filter \"1/0 = 1\"");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.out.find("error 800: Invalid expression for EVALUATE"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace vrt::test
