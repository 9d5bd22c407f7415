#ifndef ENDTOENDSUPPORT_H
#define ENDTOENDSUPPORT_H

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "testsupport.h"

// Helpers of the tests that run the built program.
namespace EndToEnd {

using TestSupport::copyFile;
using TestSupport::readFile;
using TestSupport::writeFile;

// A measurement file in the row layout: one column per label, all at one station.
QByteArray measurementFile(
    const QStringList &labels, const QStringList &units, const QStringList &dataLines);

// The calls the recording plug-in logged in logPath, one "name|argument|..." entry each.
QStringList recordedCalls(const QString &logPath);
// The calls of calls to the operation name.
QStringList callsNamed(const QStringList &calls, const QString &name);

} // namespace EndToEnd

#endif // ENDTOENDSUPPORT_H
