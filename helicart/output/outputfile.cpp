#include "outputfile.h"

#include "pngencoder.h"
#include "signalguard.h"

#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QString>

QByteArray OutputFile::encode(const QImage &image)
{
    return PngEncoder::encode(image);
}

bool OutputFile::write(const QString &fileName, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    // Declared first, so that it ends last: after the temporary file has been renamed or
    // removed by the save file's destructor.
    const SignalGuard::Deferral deferral;
    QSaveFile file(fileName);
    // No writing in place when the folder refuses a temporary file: that would break what
    // the temporary file is for.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

QByteArray OutputFile::failureMessage(const QString &fileName)
{
    return QStringLiteral("Can not write output file: %1.\n").arg(fileName).toLocal8Bit();
}

bool OutputFile::save(const QImage &image, const QString &fileName, QFile *diagnostics)
{
    if (write(fileName, encode(image)))
        return true;
    diagnostics->write(failureMessage(fileName));
    return false;
}
