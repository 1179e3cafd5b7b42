#pragma once
// Bitmap records in the LZARI form (tag -3), which the program reads but the
// program's own writer never makes: packages and dictionary pictures may hold them.
#include <vector>

struct dib_block;

// Appends tag -3, the u32 length and the LZARI stream of the whole block. 0 for
// an invalid block or one too large for the decoder to accept.
int lzari_write_record(const dib_block* block, std::vector<unsigned char>& out);
