// The resource compiler as users run it: bad declarations give FILE:LINE
// messages and exit 1, usage mistakes exit 2, good ones a loadable resource.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/window/resource/resource_buffer.h"
#include "tools/rescomp/resource_compiler.h"

namespace vrt::window {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int exit_code;
  std::string err;
};

class Rescomp : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("rescomp_test_" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name) << text;
    return (dir / name).string();
  }
  ToolRun run(const std::string& args) {
    std::string err = (dir / "stderr").string();
    std::string cmd = std::string(VRT_BINARY_DIR) + "/tools/rescomp " + args + " 2>" + err;
    int status = std::system(cmd.c_str());
    std::ifstream in(err);
    std::stringstream s;
    s << in.rdbuf();
    return {WEXITSTATUS(status), s.str()};
  }
  fs::path dir;
};

TEST_F(Rescomp, BadDeclarationsNameFileAndLine) {
  std::string path = write("bad.wnd", R"(module "t$bad"
window "P1$W" title="x"
  prompt "A" at=1,2,3
  button "B" colour=3
  frobnicate
  menu "M"
  end
end
end
)");
  ToolRun r = run(path);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, path + ":3: at takes 4 numbers\n" + path + ":4: button has no attribute 'colour'\n" + path +
                       ":5: unknown record 'frobnicate'\n" + path + ":6: menu cannot stand in window\n" + path +
                       ":9: end without an open record\n");
  EXPECT_FALSE(fs::exists(dir / "out.rsc"));
}

TEST_F(Rescomp, AListWithAMalformedFormatIsRefusedWithThePosition) {
  std::string path = write("lists.wnd", R"(module "t$lists"
window "P1$W" title="x"
  list format="64R(2)|M~CusID~C(0)@n-14@80L(2)|M~Name~L(2)@s20@" at=1,2,100,50 flags=0x803
  list format="80R(2)|M~Date~C(0)@D2@52D(20)|M~Amount~C(0)@N-11.2@" at=1,60,100,50 flags=0x803
  list format="64R(2)|M~CusID~C(0)@n-14" at=1,120,100,50
  list format="20L30" drop=5 at=1,180,100,12
end
)");
  ToolRun r = run(path + " -o " + (dir / "out.rsc").string());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, path + ":5: format \"64R(2)|M~CusID~C(0)@n-14\" is malformed at position 25\n" + path +
                       ":6: format \"20L30\" is malformed at position 6\n");
  EXPECT_FALSE(fs::exists(dir / "out.rsc"));
}

TEST_F(Rescomp, MessagesForEachKindOfMistake) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"window \"P1$W\"\nend\n", "x.wnd:1: the module line must come first"},
      {"module \"nodollar\"\n", "x.wnd:1: module name needs a '$' (\"program$module\")"},
      {"module \"a$b\"\nwindow \"P1$W\" title=\"open\n", "x.wnd:2: text not closed by a quote"},
      {"module \"a$b\"\nwindow \"P1$W\"\n", "x.wnd:2: window is not closed by end"},
      {"module \"a$b\"\nwindow at=1,2,3,4\nend\n", "x.wnd:2: window needs a quoted label"},
      {"module \"a$b\"\nwindow \"P1$W\"\nend\nwindow \"P1$W\"\nend\n", "x.wnd:4: label P1$W declared twice"},
      {"module \"a$b\"\nwindow \"P1$W\"\n entry var=STRANGE,3\nend\n", "x.wnd:3: unknown type STRANGE"},
      {"module \"a$b\"\nwindow \"P1$W\" status=-1,0\nend\n", "x.wnd:2: a status-bar width of 0 would end the list"},
      {"module \"a$b\"\nwindow \"P1$W\" timer=0x1FFFFFFFF\nend\n", "x.wnd:2: number 0x1FFFFFFFF does not fit in 32 bits"},
      {"module \"a$b\"\nwindow \"P1$W\" at=-2147483649,0,1,1\nend\n",
       "x.wnd:2: number -2147483649 does not fit in 32 bits"},
      {"module \"a$b\"\nwindow \"P1$W\"\n button delay=70000\nend\n", "x.wnd:3: delay must be 0 to 65535"},
      {"module \"a$b\"\nwindow \"P1$W\"\n tab \"T\"\n end\nend\n", "x.wnd:3: tab cannot stand in window"},
      {"module \"a$b\"\nwindow \"P1$W\"\n menubar\n end\n menubar\n end\nend\n", "x.wnd:5: menubar given twice"},
      {"module \"a$b\"\nwindow \"P1$W\"\n line \"text\"\nend\n", "x.wnd:3: line takes no text"},
  };
  for (const Case& c : cases) {
    CompileResult r = compile_declarations(c.text, "x.wnd");
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.errors[0], c.message) << c.text;
  }
}

TEST_F(Rescomp, ContinuationLinesAndComments) {
  CompileResult r = compile_declarations(R"(# a comment
module "a$b"
window "P1$W" title="Long"   # trailing comment
    at=1,2,3,4
    timer=5
end
)", "x.wnd");
  ASSERT_TRUE(r.ok()) << r.errors[0];
  ResourceBuffer b = *ResourceBuffer::from_resource(r.resource);
  EXPECT_EQ(b.field(b.first_structure(), "timer"), 5u);
  EXPECT_EQ(b.field(b.first_structure(), "at", 3), 4u);
}

TEST_F(Rescomp, WritesResourceAndRegistrationSource) {
  std::string path = write("good.wnd", "module \"t$good01\"\nwindow \"P1$W\" title=\"Hi\"\nend\n");
  std::string out = (dir / "good.rsc").string(), cpp = (dir / "good.cpp").string();
  ToolRun r = run(path + " -o " + out + " --cpp " + cpp + " --image prog");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::ifstream in(out, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(bytes.size(), 9u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "t$good01");
  std::ifstream src(cpp);
  std::stringstream s;
  s << src.rdbuf();
  EXPECT_NE(s.str().find("kRegistration0(\"prog\", \"GOOD01_RSC\""), std::string::npos);
}

// Reports that differ only in what their program binds share one file of
// declarations: every module named gets its own resource of the same
// structures, the module's name in front.
TEST_F(Rescomp, OneDeclarationForSeveralModules) {
  CompileResult r = compile_declarations("module \"t$rep01\" \"t$rep02\"\nwindow \"P1$W\" title=\"Hi\"\nend\n", "x.wnd");
  ASSERT_TRUE(r.ok()) << r.errors[0];
  ASSERT_EQ(r.also, std::vector<std::string>{"t$rep02"});
  std::vector<uint8_t> second = resource_of(r, "t$rep02");
  ResourceBuffer a = *ResourceBuffer::from_resource(r.resource), b = *ResourceBuffer::from_resource(second);
  EXPECT_EQ(a.module(), "t$rep01");
  EXPECT_EQ(b.module(), "t$rep02");
  EXPECT_EQ(b.field(b.first_structure(), "title"), a.field(a.first_structure(), "title"));

  std::string path = write("two.wnd", "module \"t$rep01\" \"t$rep02\"\nwindow \"P1$W\"\nend\n");
  std::string cpp = (dir / "two.cpp").string();
  ASSERT_EQ(run(path + " --cpp " + cpp + " --image prog").exit_code, 0);
  std::ifstream src(cpp);
  std::stringstream s;
  s << src.rdbuf();
  EXPECT_NE(s.str().find("kRegistration1(\"prog\", \"REP02_RSC\""), std::string::npos);

  for (const char* wrong : {"module \"t$a\" \"t$a\"\n", "module \"t$a\" x=1\n"})
    EXPECT_FALSE(compile_declarations(std::string(wrong) + "window \"P1$W\"\nend\n", "x.wnd").ok()) << wrong;
}

TEST_F(Rescomp, UsageMistakes) {
  EXPECT_EQ(run("").exit_code, 2);
  EXPECT_EQ(run("a.wnd --cpp x.cpp").exit_code, 2) << "--cpp needs --image";
  EXPECT_EQ(run("a.wnd --bogus").exit_code, 2);
  ToolRun missing = run((dir / "none.wnd").string());
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err, (dir / "none.wnd").string() + ": cannot be read\n");
}

TEST(ResourceCompiler, PictureWrittenWithItsAtSignIsAnError) {
  CompileResult r = compile_declarations(R"(module "t$pic"
window "P1$W" title="x"
  value var=LONG,4 picture="@n-14" at=4,4,40,10
end
)", "pic.wnd");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0], "pic.wnd:3: picture=\"@n-14\" is written without its \"@\": picture=\"n-14\"");
  EXPECT_TRUE(r.resource.empty());
}

TEST(ResourceCompiler, TwoRecordsWithOneFieldNumberAreAnError) {
  CompileResult r = compile_declarations(R"(module "t$twice"
window "P1$W" title="x"
  button "&One" at=4,4,40,14
  button "&Two" at=4,20,40,14 field=1
  prompt "Three" at=4,36,40,10 field=7
  prompt "Four" at=4,50,40,10 field=7
end
)", "twice.wnd");
  ASSERT_EQ(r.errors.size(), 2u);
  EXPECT_EQ(r.errors[0], "twice.wnd:4: field number 1 is taken by the button on line 3");
  EXPECT_EQ(r.errors[1], "twice.wnd:6: field number 7 is taken by the prompt on line 5");
  EXPECT_TRUE(r.resource.empty());
}

}  // namespace
}  // namespace vrt::window
