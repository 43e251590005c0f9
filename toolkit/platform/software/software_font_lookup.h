// Finds the font file for the panel's text through fontconfig, so that no
// distribution's folder layout is written into the module.
#pragma once

#include <string>

namespace TKGUI {
namespace platform {

struct FontFile {
    std::string path;
    int index = 0;  // the face within a collection file
};

// The sans face the panel's "Arial" text is drawn with: Liberation Sans where
// it is installed (its glyphs take the room Arial's take on Windows), else
// what the system's configuration gives for Arial, else its sans-serif face.
// False when fontconfig knows no scalable face at all.
bool findSansFont(bool bold, bool italic, FontFile& out);

}  // namespace platform
}  // namespace TKGUI
