#pragma once

// The real quorvel-convert in a child process of the test's own making, for what QProcess
// cannot arrange: arguments that are not UTF-8, standard input from a device or an endless
// pipe, standard output into a device or a full file system, and limits on memory and file
// size set in the child alone.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QTemporaryFile>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

struct ChildSetup {
    QList<QByteArray> arguments; // after the program's name, as the system passes them
    enum Input { NoInput, FromFile, EndlessPipe };
    Input input = NoInput;
    QByteArray inputFile;    // FromFile: read as standard input (/dev/zero, a picture)
    QByteArray outputFile;   // standard output goes here; empty: captured
    rlim_t addressSpace = 0; // RLIMIT_AS in bytes; 0: none
    rlim_t fileSize = 0;     // RLIMIT_FSIZE in bytes (SIGXFSZ ignored, so EFBIG); 0: none
    int timeoutMs = 60000;
};

struct ChildRun {
    bool exited = false;   // ended by exit(), not by a signal or the timeout
    int status = -1;       // the exit status
    bool timedOut = false; // killed after timeoutMs
    qint64 ms = 0;
    QByteArray out; // when captured
    QByteArray err;
};

inline ChildRun runChild(const QByteArray& program, const ChildSetup& setup) {
    ChildRun run;
    QTemporaryFile out;
    QTemporaryFile err;
    if (!out.open() || !err.open())
        return run;
    // Everything the child needs is made before fork(): after it, only system calls.
    QList<QByteArray> words{program};
    words += setup.arguments;
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray outputFile = setup.outputFile;
    const int capturedOut = out.handle();
    const int capturedErr = err.handle();
    const QByteArray inputFile =
        setup.input == ChildSetup::FromFile ? setup.inputFile : QByteArray("/dev/null");

    int pipeEnds[2] = {-1, -1};
    pid_t writer = -1;
    if (setup.input == ChildSetup::EndlessPipe) {
        if (::pipe(pipeEnds) != 0)
            return run;
        writer = ::fork();
        if (writer == 0) {
            // Ends on EPIPE once the program is gone, not by the signal (which the test
            // framework's handler would report as a crash).
            ::signal(SIGPIPE, SIG_IGN);
            ::close(pipeEnds[0]);
            static char zeros[65536];
            while (::write(pipeEnds[1], zeros, sizeof zeros) > 0) {
            }
            ::_exit(0);
        }
    }

    QElapsedTimer clock;
    clock.start();
    const pid_t child = ::fork();
    if (child == 0) {
        if (setup.addressSpace != 0) {
            const rlimit limit{setup.addressSpace, setup.addressSpace};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        if (setup.fileSize != 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{setup.fileSize, setup.fileSize};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::signal(SIGPIPE, SIG_DFL);
        const int in = setup.input == ChildSetup::EndlessPipe
                           ? pipeEnds[0]
                           : ::open(inputFile.constData(), O_RDONLY);
        const int toOut = outputFile.isEmpty()
                              ? capturedOut
                              : ::open(outputFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || toOut < 0 || ::dup2(in, 0) < 0 || ::dup2(toOut, 1) < 0 ||
            ::dup2(capturedErr, 2) < 0)
            ::_exit(127);
        if (pipeEnds[1] >= 0)
            ::close(pipeEnds[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pipeEnds[0] >= 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
    }
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0)
            return run;
        if (clock.elapsed() > setup.timeoutMs) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.timedOut = true;
            break;
        }
        QThread::msleep(5);
    }
    run.ms = clock.elapsed();
    if (writer > 0) {
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
    }
    run.exited = !run.timedOut && WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : -1;
    out.seek(0);
    err.seek(0);
    run.out = out.readAll();
    run.err = err.readAll();
    return run;
}
