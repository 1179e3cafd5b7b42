// JPEG through libjpeg-turbo. The library reports errors through a handler
// that must not return; ours jumps back to the function that set it up, which
// frees what it made. Pixels cross this boundary in blue-green-red order (the
// library's BGR extension), exactly as they lie in a block.
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>

#include "base/dib.h"
#include "base/os.h"
#include "image/image.h"
#include "image/image_bytes.h"

namespace {
struct error_trap {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void on_error(j_common_ptr c) { std::longjmp(reinterpret_cast<error_trap*>(c->err)->jump, 1); }
void quiet(j_common_ptr) {}

void install(error_trap& trap) {
  jpeg_std_error(&trap.mgr);
  trap.mgr.error_exit = on_error;
  trap.mgr.output_message = quiet;
}

// A progressive file may hold any number of scans; a hostile one would keep
// the decoder busy for minutes.
constexpr int kMaxScans = 1000;
void on_progress(j_common_ptr c) {
  auto* d = reinterpret_cast<j_decompress_ptr>(c);
  if (d->input_scan_number > kMaxScans) c->err->error_exit(c);
}

// Every local that changes after setjmp and is used after the jump is volatile.
dib_block* decode(jpeg_decompress_struct& cinfo, error_trap& trap, const void* data,
                  std::size_t size) {
  dib_block* volatile block = nullptr;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = on_progress;
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&cinfo);
    dib_free(block);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress;
  cinfo.mem->max_memory_to_use = 640L << 20;
  jpeg_mem_src(&cinfo, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  // The defaults give RGB only for colour files: greyscale and CMYK are refused.
  if (cinfo.out_color_space != JCS_RGB || cinfo.num_components != 3 ||
      !image_size_ok(cinfo.image_width, cinfo.image_height, 24)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 3) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  block = dib_create(static_cast<int32_t>(cinfo.output_height), 1,
                     static_cast<int32_t>(cinfo.output_width), 0);
  if (!block) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = dib_row(block, static_cast<int32_t>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return block;
}

// Compressed bytes go straight to the safe file in 64 KiB pieces.
struct safe_destination {
  jpeg_destination_mgr mgr;
  os_safe_file* file;
  JOCTET buffer[65536];
};

void dest_init(j_compress_ptr c) {
  auto* d = reinterpret_cast<safe_destination*>(c->dest);
  d->mgr.next_output_byte = d->buffer;
  d->mgr.free_in_buffer = sizeof d->buffer;
}
boolean dest_empty(j_compress_ptr c) {
  auto* d = reinterpret_cast<safe_destination*>(c->dest);
  d->file->write(d->buffer, sizeof d->buffer);  // a failure is kept by the file
  dest_init(c);
  return TRUE;
}
void dest_term(j_compress_ptr c) {
  auto* d = reinterpret_cast<safe_destination*>(c->dest);
  d->file->write(d->buffer, sizeof d->buffer - d->mgr.free_in_buffer);
}

int encode(jpeg_compress_struct& cinfo, error_trap& trap, safe_destination& dest,
           const dib_block* block) {
  if (setjmp(trap.jump)) {
    jpeg_destroy_compress(&cinfo);
    return 0;
  }
  jpeg_create_compress(&cinfo);
  dest.mgr.init_destination = dest_init;
  dest.mgr.empty_output_buffer = dest_empty;
  dest.mgr.term_destination = dest_term;
  cinfo.dest = &dest.mgr;
  cinfo.image_width = static_cast<JDIMENSION>(dib_width(block));
  cinfo.image_height = static_cast<JDIMENSION>(dib_height(block));
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(dib_row(block, static_cast<int32_t>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return 1;
}
}  // namespace

dib_block* jpeg_decode(const void* data, std::size_t size) {
  if (!data || size == 0 || size > kImageMaxFile) return nullptr;
  jpeg_decompress_struct cinfo;
  error_trap trap;
  install(trap);
  cinfo.err = &trap.mgr;
  return decode(cinfo, trap, data, size);
}

dib_block* jpeg_read(const char* path) {
  image_file_bytes file;
  if (!image_read_path(path, file)) return nullptr;
  return jpeg_decode(file.data, file.size);
}

int jpeg_write(const char* path, const dib_block* block) {
  if (!path || !*path || dib_bits(block) != 24 || dib_width(block) <= 0 || dib_height(block) <= 0)
    return 0;
  os_clear_attributes(path);
  os_safe_file out(path);
  if (!out.ok()) return 0;
  jpeg_compress_struct cinfo;
  error_trap trap;
  install(trap);
  cinfo.err = &trap.mgr;
  safe_destination* dest = new (std::nothrow) safe_destination;
  if (!dest) return 0;
  dest->file = &out;
  int ok = encode(cinfo, trap, *dest, block);
  delete dest;
  return ok && out.ok() && out.commit();
}
