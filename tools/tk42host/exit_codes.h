// tk42host's exit status: which kind of thing went wrong, for scripts.
#pragma once

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 2,   // command line: unknown option, bad or out-of-range value, unknown parameter
    kExitInput = 3,   // input file or state file unreadable, malformed or unsupported
    kExitModule = 4,  // module cannot be loaded, is not a plug-in, or cannot do what was asked
    kExitOutput = 5,  // output file, state or report cannot be written (disk full, no permission)
    // Ctrl-C, SIGTERM or a closed console stopped the render; 128 + SIGINT, as
    // shells report a program that Ctrl-C ended.
    kExitInterrupted = 130,
};
