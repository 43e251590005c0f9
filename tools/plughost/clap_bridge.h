// CLAP plug-ins for a host written for VST 2.4 effect records: a module that
// exports clap_entry gets an entry function that makes, for its first
// plug-in, an effect record whose calls go to the CLAP instance. tk42host
// (and its tests) drive CLAP and VST 2.4 plug-ins through one interface.
//
// What the record maps to:
//   setParameter/getParameter  param events (queued for the next process
//                               while active, flushed at once otherwise) and
//                               values, normalised through the limiter's
//                               own laws for the TK42-R and linearly for
//                               others; names and texts from the plug-in
//   effGetChunk/effSetChunk     state save and load through memory streams
//   effMainsChanged             activate + start processing, and back
//   processReplacing (double)  process with one stereo port each way
//   effEditOpen/Idle/Close      gui create + set_parent, the plug-in's timers
//                               run from idle, destroy
//   initialDelay                the plug-in's latency once activated
//
// Everything runs on the host's one thread, which is both the main and the
// audio thread as the plug-in's thread checks see it (audio inside process).
#pragma once

#include <string>

#include "formats/vst2/aeffect.h"

// Binds the module's clap_entry (from its handle's symbol) and initialises
// it with the module's path; one CLAP module at a time. False with a
// message for an incompatible version, a refused init or a second module.
bool bindClapModule(const void* clapEntry, const std::string& path, std::string& error);
void unbindClapModule();
// The entry function of the bound module: a new record for its first
// plug-in, or null.
AEffect* clapBridgeMain(audioMasterCallback master);
