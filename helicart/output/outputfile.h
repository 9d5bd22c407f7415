#ifndef OUTPUTFILE_H
#define OUTPUTFILE_H

#include <QByteArray>

class QFile;
class QImage;
class QString;

// Writing one output image, in three steps that keep no state, so that they can run on any
// thread: the image is encoded to PNG in memory, the bytes go to a temporary file in the
// folder of the final name, and that file replaces the final name only once it is complete.
// A file that cannot be written leaves an older file of its name as it was and no temporary
// file behind; the encoder never meets a failing device, so no library message about it
// reaches the error stream, only the run's own report.
class OutputFile
{
public:
    // The image as PNG bytes (see PngEncoder); empty when it cannot be encoded (an empty
    // image).
    static QByteArray encode(const QImage &image);

    // Replaces fileName by bytes (a symbolic link is followed: its target is replaced; an
    // older file keeps its permissions, a new one gets those the umask allows). False when
    // bytes is empty or a step fails: a folder that is missing or not writable, a full disk,
    // the file size limit. A stopping signal waits until the temporary file is gone.
    static bool write(const QString &fileName, const QByteArray &bytes);

    // "Can not write output file: NAME." and a line feed, in the local 8-bit encoding (so that
    // a name with letters outside Latin-1 reaches the user intact).
    static QByteArray failureMessage(const QString &fileName);

    // Encodes and writes image as fileName; when that fails, the failure message goes to
    // diagnostics and the result is false.
    static bool save(const QImage &image, const QString &fileName, QFile *diagnostics);
};

#endif // OUTPUTFILE_H
