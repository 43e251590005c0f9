#include "tests/ardour/session_audio.h"

#include <fstream>
#include <sstream>

#include "tools/tk42host/wav_writer.h"

namespace {

// Ardour 7 keeps audio times as "a" followed by superclock ticks.
constexpr unsigned long long kSuperclockRate = 282240000ull;

bool writeMono(const std::string& path, const std::vector<float>& samples, unsigned rate,
               std::string& error) {
    WavWriter writer;
    WavFormat format;
    format.sampleRate = rate;
    format.channels = 1;
    format.sample = SampleFormat::Float32;
    if (!writer.open(path, format, samples.size(), error)) return false;
    std::vector<double> wide(samples.begin(), samples.end());
    return writer.write(wide.data(), wide.size(), error) && writer.finish(error);
}

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

// Replaces the first occurrence of what; false when there is none.
bool replaceOnce(std::string& text, const std::string& what, const std::string& with) {
    size_t at = text.find(what);
    if (at == std::string::npos) return false;
    text.replace(at, what.size(), with);
    return true;
}

// The session's id-counter: the last id Ardour gave out. New objects take
// the ids after it, and the counter moves past them, or a later object could
// get the same id.
bool lastId(const std::string& text, unsigned long long& id) {
    const std::string key = "id-counter=\"";
    size_t at = text.find(key);
    if (at == std::string::npos) return false;
    id = std::stoull(text.substr(at + key.size()));
    return true;
}

std::string regionAttributes(const std::string& name, unsigned long long length,
                             unsigned long long leftId, unsigned long long rightId,
                             bool wholeFile) {
    std::ostringstream r;
    r << "name=\"" << name << "\" start=\"a0\" length=\"a" << length << "@a0\" position=\"a0\""
      << " whole-file=\"" << (wholeFile ? 1 : 0) << "\" type=\"audio\" channels=\"2\""
      << " source-0=\"" << leftId << "\" source-1=\"" << rightId << "\""
      << " master-source-0=\"" << leftId << "\" master-source-1=\"" << rightId << "\"";
    return r.str();
}

}  // namespace

bool addRegionToTrack(const std::string& dir, const std::string& name, const std::string& track,
                      const SessionAudio& audio, std::string& error) {
    if (audio.left.empty() || audio.left.size() != audio.right.size()) {
        error = "the two channels differ in length";
        return false;
    }
    const std::string folder = dir + "/interchange/" + name + "/audiofiles/";
    const std::string leftFile = track + "-source%L.wav";
    const std::string rightFile = track + "-source%R.wav";
    if (!writeMono(folder + leftFile, audio.left, audio.sampleRate, error) ||
        !writeMono(folder + rightFile, audio.right, audio.sampleRate, error)) {
        return false;
    }

    const std::string sessionFile = dir + "/" + name + ".ardour";
    std::string text;
    unsigned long long id = 0;
    if (!readText(sessionFile, text) || !lastId(text, id)) {
        error = "cannot read the session file " + sessionFile;
        return false;
    }
    const unsigned long long leftId = id + 1, rightId = id + 2, wholeId = id + 3, regionId = id + 4;
    const unsigned long long length =
        audio.left.size() * kSuperclockRate / static_cast<unsigned long long>(audio.sampleRate);

    std::ostringstream sources;
    for (const auto& source : {std::make_pair(leftId, leftFile), {rightId, rightFile}}) {
        sources << "\n    <Source name=\"" << source.second << "\" type=\"audio\" flags=\"\" id=\""
                << source.first << "\" captured-for=\"" << track
                << "\" channel=\"0\" origin=\"\" gain=\"1\"/>";
    }
    const std::string whole = "\n    <Region " +
                              regionAttributes(track, length, leftId, rightId, true) + " id=\"" +
                              std::to_string(wholeId) + "\"/>\n  ";
    const std::string inPlaylist = ">\n      <Region " +
                                   regionAttributes(track + ".1", length, leftId, rightId, false) +
                                   " id=\"" + std::to_string(regionId) + "\"/>\n    </Playlist>";
    const std::string playlistStart = "<Playlist id=\"";
    const std::string playlistName = "\" name=\"" + track + "\" type=\"audio\"";
    size_t playlist = text.find(playlistName);
    size_t end = playlist == std::string::npos ? playlist : text.find("/>", playlist);
    if (playlist == std::string::npos || text.rfind(playlistStart, playlist) == std::string::npos ||
        text.find('>', playlist) != end + 1) {
        error = "no empty playlist of track " + track + " in the session file";
        return false;
    }
    text.replace(end, 2, inPlaylist);
    if (!replaceOnce(text, "<Sources/>", "<Sources>" + sources.str() + "\n  </Sources>") ||
        !replaceOnce(text, "<Regions/>", "<Regions>" + whole + "</Regions>") ||
        !replaceOnce(text, "id-counter=\"" + std::to_string(id) + "\"",
                     "id-counter=\"" + std::to_string(id + 4) + "\"")) {
        error = "the session file already has sources or regions";
        return false;
    }
    std::ofstream out(sessionFile, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
        error = "cannot write " + sessionFile;
        return false;
    }
    return true;
}
