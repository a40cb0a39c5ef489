#include "resources/generator/Gif.h"

#include <bit>
#include <stdexcept>

namespace lumora::skin {
namespace {

// Collects codes least significant bit first, as GIF packs them.
class BitPacker {
 public:
  void Put(unsigned code, int width) {
    for (int bit = 0; bit < width; ++bit) {
      if (used_ == 0) bytes_.push_back(0);
      if ((code >> bit) & 1u) bytes_.back() = static_cast<char>(bytes_.back() | (1 << used_));
      used_ = (used_ + 1) % 8;
    }
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  int used_ = 0;
};

void PutByte(std::string& out, unsigned value) {
  out.push_back(static_cast<char>(value & 0xFF));
}

void PutWord(std::string& out, unsigned value) {
  PutByte(out, value);
  PutByte(out, value >> 8);
}

int PaletteBits(const IndexedImage& image) {
  std::size_t entries = image.palette.size();
  if (entries < 4 || entries > 256 || !std::has_single_bit(entries)) {
    throw std::invalid_argument("a GIF palette holds a power of two from 4 to 256 colours");
  }
  return std::countr_zero(entries);
}

void PutHeader(std::string& out, const IndexedImage& image, int bits) {
  out += "GIF89a";
  PutWord(out, image.width);
  PutWord(out, image.height);
  PutByte(out, 0x80 | ((bits - 1) << 4) | (bits - 1));  // global colour table of 2^bits entries
  PutByte(out, 0);                                      // background colour index
  PutByte(out, 0);                                      // square pixels
  for (std::uint32_t rgb : image.palette) {
    PutByte(out, rgb >> 16);
    PutByte(out, rgb >> 8);
    PutByte(out, rgb);
  }
}

void PutTransparency(std::string& out, int index) {
  if (index < 0) return;
  out += "\x21\xF9\x04";  // graphic control extension, four bytes
  PutByte(out, 0x01);     // the transparent index is valid
  PutWord(out, 0);        // no delay
  PutByte(out, index);
  PutByte(out, 0);
}

std::string ImageCodes(const IndexedImage& image, int minimumCodeSize) {
  const unsigned clear = 1u << minimumCodeSize;
  const int width = minimumCodeSize + 1;
  // Each pixel after the first one since a clear adds a table entry; stop one short of the
  // entry that would widen the codes, so also decoders that widen one code early stay in step.
  const std::size_t pixelsPerClear = clear - 3;
  BitPacker packer;
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    if (i % pixelsPerClear == 0) packer.Put(clear, width);
    packer.Put(image.pixels[i], width);
  }
  packer.Put(clear + 1, width);  // end of information
  return packer.Bytes();
}

void PutSubBlocks(std::string& out, const std::string& data) {
  for (std::size_t at = 0; at < data.size(); at += 255) {
    std::string block = data.substr(at, 255);
    PutByte(out, block.size());
    out += block;
  }
  PutByte(out, 0);
}

}  // namespace

std::string EncodeGif(const IndexedImage& image) {
  if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    throw std::invalid_argument("pixel count does not match the GIF size");
  }
  int bits = PaletteBits(image);
  std::string out;
  PutHeader(out, image, bits);
  PutTransparency(out, image.transparent);
  PutByte(out, 0x2C);  // image descriptor: the whole screen, no local palette, not interlaced
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, image.width);
  PutWord(out, image.height);
  PutByte(out, 0);
  PutByte(out, bits);  // the smallest code size: one code per palette entry
  PutSubBlocks(out, ImageCodes(image, bits));
  PutByte(out, 0x3B);  // trailer
  return out;
}

}  // namespace lumora::skin
