// Puts audio into a saved Ardour session without Ardour's importer (which
// needs its window): two mono source files in the session's audio folder,
// and a region of them at the start of one track's playlist.
#pragma once

#include <string>
#include <vector>

struct SessionAudio {
    std::vector<float> left, right;
    unsigned sampleRate = 48000;
};

// The session is <dir>/<name>.ardour, saved by Ardour with the track's empty
// playlist named after the track. False with a message when the session
// file is not as expected or a file cannot be written.
bool addRegionToTrack(const std::string& dir, const std::string& name, const std::string& track,
                      const SessionAudio& audio, std::string& error);
