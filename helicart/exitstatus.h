#ifndef EXITSTATUS_H
#define EXITSTATUS_H

// The program's exit statuses. The shell sees their low byte: 255 for -1, 246 for -10.
namespace ExitStatus {

enum Value : int {
    Success = 0, // the run completed; help or version written
    Warned = 1, // with --strict: the run completed, and wrote a warning
    NoStream = -1, // the standard error stream (for help and version: output) cannot be opened
    NoOption = -1, // no option given: the usage text on the standard error stream
    BadOption = -1, // a reading option whose value cannot be used: its message
    InputNotSet = -2,
    OutputNotSet = -3,
    ClassesNotSet = -4,
    InputNotRead = -5, // the input file cannot be opened, or not be read to its end
    OutputNotWritten = -6, // an image could not be written; the others are
    NoChart = -10, // the chart plug-in cannot be loaded or hands out no solar rose
};

} // namespace ExitStatus

#endif // EXITSTATUS_H
