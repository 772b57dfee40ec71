#include "testsupport/CompanionFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <stdexcept>

namespace qm::test {

QImage solidImage(int width, int height, const QColor& colour) {
  QImage img(width, height, QImage::Format_ARGB32);
  img.fill(colour);
  return img;
}

QImage patternImage(int width, int height, const std::function<QRgb(int x, int y)>& pixel) {
  QImage img(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) img.setPixel(x, y, pixel(x, y));
  return img;
}

QImage greyMask(int width, int height, const std::function<int(int x, int y)>& grey) {
  QImage img(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int g = std::clamp(grey(x, y), 0, 255);
      img.setPixel(x, y, qRgb(g, g, g));
    }
  return img;
}

namespace {

// LSB-first bit packer for GIF's LZW data.
class BitPacker {
 public:
  void put(uint32_t code, int bits) {
    acc_ |= code << count_;
    count_ += bits;
    while (count_ >= 8) {
      out_.append(char(acc_ & 0xFF));
      acc_ >>= 8;
      count_ -= 8;
    }
  }
  QByteArray finish() {
    if (count_ > 0) out_.append(char(acc_ & 0xFF));
    return out_;
  }

 private:
  QByteArray out_;
  uint32_t acc_ = 0;
  int count_ = 0;
};

void le16(QByteArray& b, int v) {
  b.append(char(v & 0xFF));
  b.append(char((v >> 8) & 0xFF));
}

}  // namespace

QByteArray encodeGif(const QImage& source) {
  const QImage img = source.convertToFormat(QImage::Format_ARGB32);
  const int w = img.width();
  const int h = img.height();
  // Palette: index 0 is reserved for transparency when any pixel needs it.
  bool transparent = false;
  for (int y = 0; y < h && !transparent; ++y)
    for (int x = 0; x < w; ++x)
      if (qAlpha(img.pixel(x, y)) < 128) {
        transparent = true;
        break;
      }
  std::map<QRgb, int> palette;
  std::vector<QRgb> colours;
  if (transparent) colours.push_back(0);
  std::vector<uint8_t> indexes;
  indexes.reserve(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const QRgb p = img.pixel(x, y);
      if (transparent && qAlpha(p) < 128) {
        indexes.push_back(0);
        continue;
      }
      const QRgb rgb = p & 0xFFFFFF;
      auto it = palette.find(rgb);
      if (it == palette.end()) {
        if (colours.size() == 256) throw std::invalid_argument("encodeGif: more than 256 colours");
        it = palette.emplace(rgb, int(colours.size())).first;
        colours.push_back(rgb);
      }
      indexes.push_back(uint8_t(it->second));
    }

  QByteArray out("GIF89a");
  le16(out, w);
  le16(out, h);
  out.append(char(0xF7));  // global colour table of 256 entries, 8 bits per primary
  out.append(char(0));     // background colour index
  out.append(char(0));     // aspect ratio
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < int(colours.size()) ? colours[size_t(i)] : 0;
    out.append(char(qRed(c)));
    out.append(char(qGreen(c)));
    out.append(char(qBlue(c)));
  }
  if (transparent) {
    out.append("\x21\xF9\x04", 3);
    out.append(char(0x01));  // transparent colour flag
    le16(out, 0);
    out.append(char(0));  // transparent index
    out.append(char(0));
  }
  out.append(char(0x2C));
  le16(out, 0);
  le16(out, 0);
  le16(out, w);
  le16(out, h);
  out.append(char(0));  // no local table, not interlaced

  // Uncompressed LZW: 9-bit codes of single pixels, with a clear code often enough that the
  // decoder's table never grows to 10-bit codes.
  constexpr int kMinCodeSize = 8;
  constexpr uint32_t kClear = 256;
  constexpr uint32_t kEnd = 257;
  out.append(char(kMinCodeSize));
  BitPacker bits;
  int sinceClear = 0;
  bits.put(kClear, 9);
  for (uint8_t i : indexes) {
    if (sinceClear == 254) {
      bits.put(kClear, 9);
      sinceClear = 0;
    }
    bits.put(i, 9);
    ++sinceClear;
  }
  bits.put(kEnd, 9);
  const QByteArray data = bits.finish();
  for (qsizetype pos = 0; pos < data.size(); pos += 255) {
    const qsizetype n = std::min<qsizetype>(255, data.size() - pos);
    out.append(char(n));
    out.append(data.mid(pos, n));
  }
  out.append(char(0));
  out.append(char(0x3B));
  return out;
}

QByteArray encodeImage(const QImage& image, const QString& format) {
  const QString f = format.toLower();
  if (f == QLatin1String("gif")) return encodeGif(image);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, f.toLatin1());
  QImage toWrite = image;
  // JPEG and BMP have no alpha worth keeping here.
  if (f != QLatin1String("png")) toWrite = image.convertToFormat(QImage::Format_RGB32);
  if (!writer.write(toWrite))
    throw std::runtime_error("encodeImage: cannot write " + f.toStdString() + ": " +
                             writer.errorString().toStdString());
  return bytes;
}

QByteArray wavBytes(int milliseconds, double frequency, int sampleRate, double amplitude) {
  const int samples = int(int64_t(sampleRate) * milliseconds / 1000);
  const int dataSize = samples * 2;
  QByteArray b;
  auto le32 = [&b](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
  };
  b.append("RIFF");
  le32(uint32_t(36 + dataSize));
  b.append("WAVEfmt ");
  le32(16);
  le16(b, 1);  // PCM
  le16(b, 1);  // mono
  le32(uint32_t(sampleRate));
  le32(uint32_t(sampleRate * 2));  // bytes per second
  le16(b, 2);                      // block align
  le16(b, 16);                     // bits per sample
  b.append("data");
  le32(uint32_t(dataSize));
  for (int i = 0; i < samples; ++i) {
    const double v = amplitude * std::sin(2 * std::numbers::pi * frequency * i / sampleRate);
    le16(b, int(std::lround(v * 32767)) & 0xFFFF);
  }
  return b;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    throw std::runtime_error("cannot write " + path.toStdString());
}

void writeImage(const QString& path, const QImage& image) {
  writeFile(path, encodeImage(image, QFileInfo(path).suffix()));
}

void writeWav(const QString& path, int milliseconds, double frequency) {
  writeFile(path, wavBytes(milliseconds, frequency));
}

}  // namespace qm::test
