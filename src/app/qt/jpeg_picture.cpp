#include "app/qt/jpeg_picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "app/app_error.h"

namespace tovasel {

namespace {

// libjpeg ends a fatal error by calling error_exit, which must not return;
// it jumps back into DecodeJpeg, past libjpeg's own frames only.
struct TJpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ExitWithError(j_common_ptr info) {
  auto* manager = reinterpret_cast<TJpegErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings (a corrupt but readable stream) are not worth a word.
void IgnoreMessage(j_common_ptr) {}

}  // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> data, const TLimits& limits) {
  // Every object with a destructor lives before setjmp, so that the jump
  // skips none: the error path below destroys them as usual.
  jpeg_decompress_struct info{};
  TJpegErrorManager errors{};
  QImage image;
  std::string refusal;

  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ExitWithError;
  errors.pub.output_message = IgnoreMessage;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    throw EAppError(std::string("JPEG picture: ") + errors.message);
  }

  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  const auto maxSide = static_cast<JDIMENSION>(std::max(limits.MaxJpegSide, 0));
  if (info.image_width > maxSide || info.image_height > maxSide) {
    refusal = "JPEG picture: too large";
  } else if (info.num_components != 1 && info.num_components != 3) {
    refusal = "JPEG picture: unsupported colour model";
  }
  if (!refusal.empty()) {
    jpeg_destroy_decompress(&info);
    throw EAppError(refusal);
  }

  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return image;
}

}  // namespace tovasel
