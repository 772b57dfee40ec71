#pragma once
// Small picture and sound files for test games: the pictures, masks and sounds a data file names.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <functional>

namespace qm::test {

// A picture of one colour (alpha kept), ARGB32.
QImage solidImage(int width, int height, const QColor& colour);
// A picture whose pixel (x, y) is pixel(x, y), ARGB32.
QImage patternImage(int width, int height, const std::function<QRgb(int x, int y)>& pixel);
// A grey mask: grey(x, y) is the level 0..255 (0 black = opaque, 255 white = transparent).
QImage greyMask(int width, int height, const std::function<int(int x, int y)>& grey);

// The image as file bytes in the format named by a suffix: png, bmp, jpg/jpeg or gif. GIF gets
// our own encoder (Qt cannot write it): up to 256 colours, pixels with alpha below 128
// transparent.
QByteArray encodeImage(const QImage& image, const QString& format);
QByteArray encodeGif(const QImage& image);

// A mono 16-bit PCM WAV file holding a sine tone.
QByteArray wavBytes(int milliseconds, double frequency = 440.0, int sampleRate = 22050,
                    double amplitude = 0.5);

// Writers; they throw std::runtime_error when the file cannot be written.
void writeFile(const QString& path, const QByteArray& bytes);
void writeImage(const QString& path, const QImage& image);  // format from the suffix
void writeWav(const QString& path, int milliseconds, double frequency = 440.0);

}  // namespace qm::test
