// The editor for CLAP hosts: the gui extension around the format-free panel,
// and the two ways a host without an editor idle call drives it: its timer
// (timer-support) or the descriptor of the panel's window events
// (posix-fd-support). Where the window system has window timers (Win32) the
// panel's own window drives it and the host's need not.
#pragma once

#include "formats/clap/clap_abi.h"

extern const clap::PluginGui kClapGui;
extern const clap::PluginTimerSupport kClapTimerSupport;
extern const clap::PluginPosixFdSupport kClapPosixFdSupport;
