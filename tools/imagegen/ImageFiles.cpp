#include "ImageFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace {

class Bytes {
public:
    void U8(unsigned value) { data_.push_back(static_cast<char>(value & 0xFF)); }
    void U16(unsigned value) {
        U8(value);
        U8(value >> 8);
    }
    void U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Append(const Bytes& other) {
        data_.insert(data_.end(), other.data_.begin(), other.data_.end());
    }
    std::uint32_t Size() const { return static_cast<std::uint32_t>(data_.size()); }
    bool Save(const std::string& path) const {
        std::ofstream file(path, std::ios::binary);
        file.write(data_.data(), static_cast<std::streamsize>(data_.size()));
        return static_cast<bool>(file);
    }

private:
    std::vector<char> data_;
};

unsigned Byte(float channel) {
    return static_cast<unsigned>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f));
}

void InfoHeader(Bytes& out, int width, int height, unsigned bitsPerPixel, std::uint32_t imageSize) {
    out.U32(40);
    out.U32(static_cast<std::uint32_t>(width));
    out.U32(static_cast<std::uint32_t>(height));
    out.U16(1);
    out.U16(bitsPerPixel);
    out.U32(0);  // BI_RGB
    out.U32(imageSize);
    out.U32(2835);  // 72 dpi in pixels per metre
    out.U32(2835);
    out.U32(0);
    out.U32(0);
}

}  // namespace

bool WriteBmp24(const std::string& path, const Image& image) {
    const int rowSize = (image.Width() * 3 + 3) / 4 * 4;
    const auto pixelBytes = static_cast<std::uint32_t>(rowSize * image.Height());
    Bytes out;
    out.U8('B');
    out.U8('M');
    out.U32(14 + 40 + pixelBytes);
    out.U32(0);
    out.U32(14 + 40);
    InfoHeader(out, image.Width(), image.Height(), 24, pixelBytes);
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba p = image.At(x, y);
            out.U8(Byte(p.b * p.a + (1 - p.a)));
            out.U8(Byte(p.g * p.a + (1 - p.a)));
            out.U8(Byte(p.r * p.a + (1 - p.a)));
        }
        for (int pad = image.Width() * 3; pad < rowSize; ++pad) out.U8(0);
    }
    return out.Save(path);
}

bool WriteIco(const std::string& path, const std::vector<Image>& images) {
    std::vector<Bytes> entries;
    for (const Image& image : images) {
        const int maskRow = (image.Width() + 31) / 32 * 4;
        const auto colourBytes = static_cast<std::uint32_t>(image.Width() * 4 * image.Height());
        const auto maskBytes = static_cast<std::uint32_t>(maskRow * image.Height());
        Bytes entry;
        // An icon's header counts the colour rows and the mask rows together.
        InfoHeader(entry, image.Width(), image.Height() * 2, 32, colourBytes + maskBytes);
        for (int y = image.Height() - 1; y >= 0; --y) {
            for (int x = 0; x < image.Width(); ++x) {
                const Rgba p = image.At(x, y);
                entry.U8(Byte(p.b));
                entry.U8(Byte(p.g));
                entry.U8(Byte(p.r));
                entry.U8(Byte(p.a));
            }
        }
        for (int y = image.Height() - 1; y >= 0; --y) {
            for (int byte = 0; byte < maskRow; ++byte) {
                unsigned bits = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = byte * 8 + bit;
                    const bool transparent = x >= image.Width() || image.At(x, y).a < 0.5f;
                    if (transparent) bits |= 0x80u >> bit;
                }
                entry.U8(bits);
            }
        }
        entries.push_back(entry);
    }

    Bytes out;
    out.U16(0);
    out.U16(1);  // icon
    out.U16(static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.U8(static_cast<unsigned>(images[i].Width()));
        out.U8(static_cast<unsigned>(images[i].Height()));
        out.U8(0);  // no palette
        out.U8(0);
        out.U16(1);  // planes
        out.U16(32);
        out.U32(entries[i].Size());
        out.U32(offset);
        offset += entries[i].Size();
    }
    for (const Bytes& entry : entries) out.Append(entry);
    return out.Save(path);
}
