// A CUPS server of the test's own: Debian's cupsd in the foreground with its
// configuration, spool and logs in a temporary folder, listening on a unix
// socket there. Its queues print through a filter that passes the PDF on
// unchanged to a file: device. Whatever happens, the server ends with the
// object (and with the test process: it gets SIGKILL when its parent dies).
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/test_support.h"

namespace vrt::test {

class CupsServer {
 public:
  CupsServer() {
    ::chmod(dir_.path().c_str(), 0755);  // the filter runs as the spool user
    for (const char* sub : {"spool", "tmp", "cache", "state"}) std::filesystem::create_directory(dir_.file(sub));
    write_file(dir_.file("cupsd.conf"), "Listen " + socket() +
                                            "\nLogLevel debug\nDefaultPaperSize None\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                            "</Policy>\n");
    const std::string& d = dir_.path();
    write_file(dir_.file("cups-files.conf"),
               "FileDevice Yes\nServerRoot " + d + "\nRequestRoot " + d + "/spool\nTempDir " + d +
                   "/tmp\nCacheDir " + d + "/cache\nStateDir " + d + "/state\nAccessLog " + d +
                   "/access_log\nErrorLog " + d + "/error_log\nPageLog " + d +
                   "/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nSystemGroup root\n");
    // Tells the log how many copies the job asked for, then passes the PDF on.
    write_file(dir_.file("passthrough"),
               "#!/bin/sh\necho \"DEBUG: copies asked: $4\" >&2\nif [ -n \"$6\" ]; then exec cat \"$6\"; fi\nexec cat\n");
    ::chmod(dir_.file("passthrough").c_str(), 0755);
    write_file(dir_.file("queue.ppd"), ppd(dir_.file("passthrough")));
    start();
  }

  ~CupsServer() { stop(); }
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  // "" when the server answers, else why it does not.
  const std::string& failure() const { return failure_; }
  std::string socket() const { return dir_.file("cups.sock"); }
  std::string file(const std::string& name) const { return dir_.file(name); }
  std::string log() const { return read_file(dir_.file("error_log")); }

  // A CUPS command-line tool (lpadmin, cupsreject ...) against this server;
  // its exit code, its output in `out`.
  int run(const std::string& command, std::string* out = nullptr) {
    CommandResult r = run_command("CUPS_SERVER='" + socket() + "' PATH=\"$PATH:/usr/sbin:/sbin\" " + command + " 2>&1");
    if (out) *out = r.out;
    return r.exit_code;
  }

  // A queue that writes what it prints to `output`.
  bool add_queue(const std::string& name, const std::string& output) {
    std::string out;
    bool ok = run("lpadmin -p " + name + " -E -v 'file://" + output + "' -P '" + dir_.file("queue.ppd") + "'", &out) == 0;
    if (!ok) ADD_FAILURE() << "lpadmin: " << out;
    return ok;
  }

 private:
  static std::string ppd(const std::string& filter) {
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n*PCFileName: \"VRTTEST.PPD\"\n*Manufacturer: \"Test\"\n"
           "*Product: \"(Test queue)\"\n*ModelName: \"Test queue\"\n*ShortNickName: \"Test queue\"\n"
           "*NickName: \"Test queue\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
           "*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n"
           "*TTRasterizer: Type42\n*cupsFilter: \"application/pdf 0 " + filter + "\"\n"
           "*OpenUI *PageSize/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n*DefaultPageSize: A4\n"
           "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
           "*PageSize Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageSize\n"
           "*OpenUI *PageRegion: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n*DefaultPageRegion: A4\n"
           "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
           "*PageRegion Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
           "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"18 36 577 806\"\n"
           "*ImageableArea Letter/Letter: \"18 36 594 756\"\n*DefaultPaperDimension: A4\n"
           "*PaperDimension A4/A4: \"595 842\"\n*PaperDimension Letter/Letter: \"612 792\"\n"
           "*OpenUI *Resolution/Resolution: PickOne\n*OrderDependency: 10 AnySetup *Resolution\n"
           "*DefaultResolution: 600dpi\n*Resolution 600dpi/600 DPI: \"\"\n*CloseUI: *Resolution\n";
  }

  static std::string find_cupsd() {
    for (const char* p : {"/usr/sbin/cupsd", "/sbin/cupsd", "/usr/local/sbin/cupsd"})
      if (::access(p, X_OK) == 0) return p;
    return "";
  }

  bool answers() const {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string path = socket();
    if (fd < 0 || path.size() >= sizeof addr.sun_path) {
      if (fd >= 0) ::close(fd);
      return false;
    }
    path.copy(addr.sun_path, path.size());
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
  }

  void start() {
    std::string cupsd = find_cupsd();
    if (cupsd.empty()) {
      failure_ = "cupsd is not installed (Debian's cups-daemon; scripts/install-deps.sh installs it)";
      return;
    }
    std::string conf = dir_.file("cupsd.conf"), files = dir_.file("cups-files.conf"), out = dir_.file("cupsd.out");
    pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::getppid() != parent) ::_exit(127);
      int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) ::dup2(fd, 1), ::dup2(fd, 2);
      ::execl(cupsd.c_str(), "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
      ::_exit(127);
    }
    if (pid_ < 0) {
      failure_ = "cannot start cupsd";
      return;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!answers()) {
      int status;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        failure_ = "cupsd ended at start: " + read_file(out) + read_file(dir_.file("error_log"));
        return;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        failure_ = "cupsd did not answer on " + socket() + " within 15 seconds";
        stop();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // SIGTERM, then SIGKILL if it takes more than five seconds.
  void stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int status;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
  }

  TempDir dir_;
  pid_t pid_ = -1;
  std::string failure_;
};

}  // namespace vrt::test
