#include "runtime/platform/print/cups_queue.h"

#include <cups/cups.h>

#include <cmath>

namespace vrt::platform {

namespace {

// CUPS sizes are hundredths of a millimetre; ours are tenths.
int tenths(int hundredths) { return (hundredths + 5) / 10; }

// The queue's own default media ("media-default"), with its margins; libcups'
// cupsGetDestMediaDefault reads only the user's options and else takes Letter.
bool media_default(cups_dest_t* dest, cups_dinfo_t* info, cups_size_t* size) {
  if (ipp_attribute_t* media = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media"))
    if (const char* name = ippGetString(media, 0, nullptr))
      if (cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, name, 0, size)) return true;
  return cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, size);
}

}  // namespace

std::vector<std::string> cups_destinations() {
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    if (dests[i].instance) continue;  // an instance is its queue with other options
    if (dests[i].is_default)
      names.insert(names.begin(), dests[i].name);
    else
      names.push_back(dests[i].name);
  }
  cupsFreeDests(count, dests);
  return names;
}

bool cups_destination_exists(const std::string& queue) {
  if (queue.empty()) return false;
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) return false;
  cupsFreeDests(1, dest);
  return true;
}

bool cups_default_mode(const std::string& queue, DEVMODE* mode) {
  if (queue.empty()) return false;
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) return false;
  if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
    cups_size_t size;
    if (media_default(dest, info, &size) && size.width > 0 && size.length > 0) {
      mode->media = size.media;
      // A standard size by its exact measures: a driver's points round A4
      // to 209.9 mm.
      const pwg_media_t* named = pwgMediaForPWG(size.media);
      mode->paper_width = tenths(named ? named->width : size.width);
      mode->paper_length = tenths(named ? named->length : size.length);
      mode->margin_left = tenths(size.left);
      mode->margin_top = tenths(size.top);
      mode->margin_right = tenths(size.right);
      mode->margin_bottom = tenths(size.bottom);
    }
    if (ipp_attribute_t* res = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
      ipp_res_t units;
      int y = 0;
      int x = ippGetResolution(res, 0, &y, &units);
      double per_inch = units == IPP_RES_PER_CM ? 2.54 : 1.0;
      if (x > 0 && y > 0) {
        mode->dpi_x = static_cast<int>(std::lround(x * per_inch));
        mode->dpi_y = static_cast<int>(std::lround(y * per_inch));
      }
    }
    cupsFreeDestInfo(info);
  }
  cupsFreeDests(1, dest);
  return true;
}

bool cups_print_file(const std::string& queue, const std::string& file, const std::string& title,
                     const DEVMODE& mode, std::string* error) {
  cups_option_t* options = nullptr;
  int count = cupsAddOption("copies", std::to_string(mode.copies).c_str(), 0, &options);
  if (!mode.media.empty()) count = cupsAddOption("media", mode.media.c_str(), count, &options);
  int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.c_str(), file.c_str(), title.c_str(), count, options);
  cupsFreeOptions(count, options);
  if (job > 0) return true;
  const char* why = cupsLastErrorString();
  *error = why && *why ? why : "the job was refused";
  return false;
}

}  // namespace vrt::platform
