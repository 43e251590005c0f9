// Records that the base class only passes through to the host or back. None of
// them is read or filled by this plug-in, so their contents stay opaque here.
#pragma once

struct VstEvents;
struct VstPinProperties;
struct VstParameterProperties;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
struct VstSpeakerArrangement;
struct VstSpeakerProperties;
struct VstTimeInfo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstVariableIo;
struct VstFileSelect;
struct VstPatchChunkInfo;
