#include "runtime/platform/print/pdf_output.h"

#include <cairo-pdf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "runtime/platform/os/system_error.h"
#include "runtime/platform/print/print_error.h"

namespace vrt::platform {

namespace {

// A fresh name beside the target (or in the temporary folder), opened
// exclusively so that two documents never share it. Created 0666 less the
// umask, as the target would be.
int open_temporary(const std::string& target, std::string* path) {
  std::filesystem::path dir, base;
  if (target.empty()) {
    std::error_code ec;
    dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    base = "vrt-print.pdf";
  } else {
    std::filesystem::path t(target);
    dir = t.parent_path().empty() ? "." : t.parent_path();
    base = t.filename();
  }
  static thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.part", static_cast<unsigned long long>(random() & 0xffffffffffffULL));
    *path = (dir / ("." + base.string() + suffix)).string();
    int fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::unique_ptr<PdfOutput> PdfOutput::create(const std::string& target, double width, double height,
                                             const std::string& title) {
  struct stat st;
  if (!target.empty() && ::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    fail_printer(kErrorAccessDenied, "Cannot print into " + target + ": it is a folder");
    return nullptr;
  }
  std::string temp;
  int fd = open_temporary(target, &temp);
  if (fd < 0) {
    fail_printer_errno(errno, "Cannot print into " + (target.empty() ? std::string("a temporary file") : target) + ": ");
    return nullptr;
  }
  std::unique_ptr<PdfOutput> out(new PdfOutput(target, temp, fd));
  out->surface_ = cairo_pdf_surface_create_for_stream(
      [](void* closure, const unsigned char* data, unsigned length) {
        return static_cast<cairo_status_t>(write_bytes(closure, data, length));
      },
      out.get(), width, height);
  if (cairo_surface_status(out->surface_) != CAIRO_STATUS_SUCCESS) {
    fail_printer(kErrorNotEnoughMemory, "Cannot start a PDF document");
    return nullptr;
  }
  if (!title.empty()) cairo_pdf_surface_set_metadata(out->surface_, CAIRO_PDF_METADATA_TITLE, title.c_str());
  cairo_pdf_surface_set_metadata(out->surface_, CAIRO_PDF_METADATA_CREATOR, "Vorthal");
  return out;
}

PdfOutput::PdfOutput(std::string target, std::string temp_path, int fd)
    : target_(std::move(target)), temp_path_(std::move(temp_path)), fd_(fd) {}

PdfOutput::~PdfOutput() {
  if (surface_) {
    cairo_surface_finish(surface_);
    cairo_surface_destroy(surface_);
  }
  if (fd_ >= 0) ::close(fd_);
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
}

int PdfOutput::write_bytes(void* closure, const unsigned char* data, unsigned length) {
  auto* self = static_cast<PdfOutput*>(closure);
  if (self->write_errno_ || self->fd_ < 0) return CAIRO_STATUS_WRITE_ERROR;
  while (length > 0) {
    ssize_t n = ::write(self->fd_, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      self->write_errno_ = n < 0 ? errno : EIO;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    data += n;
    length -= static_cast<unsigned>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

bool PdfOutput::healthy() {
  if (write_errno_) return fail_printer_errno(write_errno_, "Cannot write " + temp_path_ + ": ");
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS)
    return fail_printer(kErrorWriteFault, std::string("The PDF document failed: ") +
                                              cairo_status_to_string(cairo_surface_status(surface_)));
  return true;
}

bool PdfOutput::finish() {
  cairo_surface_finish(surface_);
  if (!healthy()) return false;
  cairo_surface_destroy(surface_);
  surface_ = nullptr;
  // On the disk before it takes the target's name: a crash then leaves the
  // old file or the whole new one.
  int err = ::fsync(fd_) != 0 ? errno : 0;
  if (::close(fd_) != 0 && !err) err = errno;
  fd_ = -1;
  if (err) return fail_printer_errno(err, "Cannot write " + temp_path_ + ": ");
  return true;
}

bool PdfOutput::commit() {
  if (::rename(temp_path_.c_str(), target_.c_str()) != 0)
    return fail_printer_errno(errno, "Cannot print into " + target_ + ": ");
  temp_path_.clear();
  return true;
}

}  // namespace vrt::platform
