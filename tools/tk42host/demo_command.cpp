#include "tools/tk42host/demo_command.h"

#include "tools/tk42host/command_line.h"
#include "tools/tk42host/demo_signal.h"
#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/pending_file.h"
#include "tools/tk42host/wav_writer.h"

int runDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string path;
    double seconds = 6.0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--demo-seconds" && i + 1 < args.size()) {
            if (!parseNumber(args[++i], seconds) || seconds < 0.1 || seconds > 3600.0) {
                err << "tk42host: --demo-seconds is from 0.1 to 3600\n";
                return kExitUsage;
            }
        } else if (path.empty() && args[i].compare(0, 2, "--") != 0) {
            path = args[i];
        } else {
            err << "tk42host: demo needs OUT.wav [--demo-seconds S]\n";
            return kExitUsage;
        }
    }
    if (path.empty()) {
        err << "tk42host: demo needs OUT.wav [--demo-seconds S]\n";
        return kExitUsage;
    }
    DemoSignal demo(seconds);
    PendingFile file(path);
    WavWriter writer;
    std::string error;
    std::vector<double> frames(2 * 4096);
    if (!writer.open(file.path(), demo.format(), error)) {
        err << "tk42host: " << error << "\n";
        return kExitOutput;
    }
    for (size_t n; (n = demo.read(frames.data(), 4096)) > 0;) {
        if (!writer.write(frames.data(), n, error)) {
            err << "tk42host: " << error << "\n";
            return kExitOutput;
        }
    }
    if (!writer.finish(error) || !file.commit(error)) {
        err << "tk42host: " << error << "\n";
        return kExitOutput;
    }
    out << "demo signal written to " << path << "\n";
    return kExitOk;
}
