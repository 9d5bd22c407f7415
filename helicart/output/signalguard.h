#ifndef SIGNALGUARD_H
#define SIGNALGUARD_H

// Lets SIGINT, SIGTERM and SIGHUP end the program as they end any program (killed by the
// signal, so that a shell sees 128 plus its number), but never while an output file is being
// replaced: a signal that arrives then waits until the file's temporary copy has been renamed
// over the final name or removed, so that a run that is stopped leaves neither a temporary
// file nor a half-written image. SIGXFSZ is ignored: a write beyond the file size limit fails
// like a write to a full disk, and the run reports it, instead of being killed in the middle
// of the write.
class SignalGuard
{
public:
    // Installs the handlers (once, at the start of the program). A signal that the program was
    // started with ignored stays ignored, as with "nohup" or a background job.
    static void install();

    // While an object of this class lives on any thread, the signals above wait. When the last
    // one ends and a signal came in the meantime, the program ends by that signal. Without
    // install() it changes nothing.
    class Deferral
    {
    public:
        Deferral();
        ~Deferral();
        Deferral(const Deferral &) = delete;
        Deferral &operator=(const Deferral &) = delete;
    };
};

#endif // SIGNALGUARD_H
