#include "tools/tk42host/demo_command.h"

#include "tools/tk42host/command_line.h"
#include "tools/tk42host/demo_signal.h"
#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/interruption.h"
#include "tools/tk42host/pending_file.h"
#include "tools/tk42host/wav_writer.h"

int runDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    DemoOptions o;
    std::string error;
    if (!parseDemoOptions(args, o, error)) {
        err << "tk42host: " << error << "\n";
        return kExitUsage;
    }
    InterruptionGuard interruption;
    DemoSignal demo(o.seconds);
    PendingFile file(o.output);
    WavWriter writer;
    std::vector<double> frames(2 * 4096);
    if (!writer.open(file.path(), demo.format(), demo.frames(), error)) {
        err << "tk42host: cannot write " << o.output << ": " << error << "\n";
        return kExitOutput;
    }
    for (size_t n; (n = demo.read(frames.data(), 4096)) > 0;) {
        if (interruptRequested()) {
            err << "tk42host: interrupted by " << interruptCause() << "; " << o.output
                << " was not written (a file already there is left as it was)\n";
            return kExitInterrupted;
        }
        if (!writer.write(frames.data(), n, error)) {
            err << "tk42host: cannot write " << o.output << ": " << error << "\n";
            return kExitOutput;
        }
    }
    if (!writer.finish(error)) {
        err << "tk42host: cannot write " << o.output << ": " << error << "\n";
        return kExitOutput;
    }
    if (!file.commit(error)) {
        err << "tk42host: " << error << "\n";
        return kExitOutput;
    }
    out << "demo signal written to " << o.output << "\n";
    return kExitOk;
}
