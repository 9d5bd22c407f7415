#ifndef IMAGEREFERENCE_H
#define IMAGEREFERENCE_H

#include <QImage>
#include <QRect>
#include <QString>

// Whole pictures against reference images kept with the tests, with a tolerance: Qt versions
// differ slightly in anti-aliasing and font hinting, and a fill split into parts may land a
// gradient pixel one shade off. A picture matches its reference when at most a small share of
// its pixels differ by more than a per-channel tolerance; a bar, ring, label or colour that
// moves or changes spreads over far more pixels than that.
//
// References live in the tests' data folder (data/images/NAME.png) as 8-bit palette PNGs
// (tens of KiB at full size; the palette is chosen so that no pixel strays far from the
// picture it was made from, see compact()). The comparison leaves out a mask, the time stamp
// corner of a rose. To renew them after a change meant to alter
// pictures, run the test with HELICART_RENEW_IMAGES=1: each picture is then written over its
// reference in the source tree, and `git diff --stat` shows which ones changed. Look at them
// before committing.
namespace ImageReference {

// How far a picture may stray from its reference. Measured on the example's images and the
// chart pictures: Debian 13's Qt 6.8 draws them as Debian 12's Qt 6.4 does but for about 30
// pixels of a picture (the scaled pictures of the day dial), at most 6 shades off; fills split
// over threads change a gradient pixel by one shade; the stored references are at most 20 off
// (see compact()). A picture moved by 2 pixels differs in 5 % to 20 % of its pixels, one
// class in a wrong colour in 0.25 % or more, one label moved by 2 pixels in about 0.08 %.
struct Tolerance
{
    // Largest difference of a channel (premultiplied, 0 to 255) that still counts as equal:
    // above the stored reference's own error, below the step between two class colours.
    int channel = 24;
    // Largest share of the compared pixels (the mask left out) that may differ by more: room
    // for some edge pixels of another rasterisation or hinting, about 225 pixels of a rose.
    double share = 0.0005;
};

struct Difference
{
    bool sameSize = false;
    qint64 compared = 0; // pixels outside the mask
    qint64 differing = 0; // of those, pixels with a channel more than the tolerance off
    int largest = 0; // the largest channel difference seen

    double share() const { return compared > 0 ? double(differing) / double(compared) : 0.0; }
    bool within(const Tolerance &tolerance) const { return sameSize && share() <= tolerance.share; }
};

// Compares actual with reference pixel by pixel, leaving out mask. When map is given it
// receives a picture of the differences: the reference faded to light grey, the pixels off by
// more than channelTolerance red, the mask light blue.
Difference compare(const QImage &actual, const QImage &reference, int channelTolerance,
    const QRect &mask = QRect(), QImage *map = nullptr);

// The stored form of image: an 8-bit palette of at most 256 of its colours, picked one by one
// as the colour farthest from those picked so far, so that the largest channel error of any
// pixel is as small as 256 colours allow (a picture with fewer colours is kept exactly).
// *largestError, when given, receives that error.
QImage compact(const QImage &image, int *largestError = nullptr);

// Writes compact(image) to path as a PNG of the highest compression, making its folder; a file
// there with the same pixels is left as it is.
bool saveReference(const QImage &image, const QString &path);

// True when the environment asks for the references to be renewed (HELICART_RENEW_IMAGES=1).
bool renewing();

// Checks actual against the reference at referencePath with mask left out. Returns an empty
// string when it matches; otherwise the message of the failure, after actual and its map of
// differences were written to the test output folder as outputName.png and
// outputName-diff.png. When renewing(), actual is first written over the reference.
QString mismatch(const QImage &actual, const QString &referencePath, const QString &outputName,
    const QRect &mask = QRect(), const Tolerance &tolerance = Tolerance());

} // namespace ImageReference

#endif // IMAGEREFERENCE_H
