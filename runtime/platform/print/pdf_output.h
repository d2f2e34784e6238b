// A PDF document being written: into a temporary file that only becomes the
// target, by a rename, once the whole document is written, so that a
// failure never leaves a partial file where the user looks for it.
#pragma once
#include <memory>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace vrt::platform {

class PdfOutput {
 public:
  // A document of pages `width` x `height` points in a temporary file beside
  // `target`, or in the temporary folder when `target` is "" (a copy for a
  // print queue). Null with the printer error set when it cannot be made.
  static std::unique_ptr<PdfOutput> create(const std::string& target, double width, double height,
                                           const std::string& title);
  ~PdfOutput();  // drops the temporary file if it is still there
  PdfOutput(const PdfOutput&) = delete;
  PdfOutput& operator=(const PdfOutput&) = delete;

  cairo_surface_t* surface() const { return surface_; }
  // Whether every byte so far reached the file; sets the printer error if not.
  bool healthy();
  // Writes the end of the document and closes the file; false with the
  // printer error set.
  bool finish();
  // Renames the finished file onto its target; false with the error set.
  bool commit();
  const std::string& temp_path() const { return temp_path_; }

 private:
  PdfOutput(std::string target, std::string temp_path, int fd);
  static int write_bytes(void* closure, const unsigned char* data, unsigned length);

  std::string target_, temp_path_;
  int fd_;
  int write_errno_ = 0;
  cairo_surface_t* surface_ = nullptr;
};

}  // namespace vrt::platform
