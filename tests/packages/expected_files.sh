# What the packages hold, one line per shipped file; a line ending in / stands
# for a bundle folder with one or more files. A format is shipped when its
# entry points are in the source tree: a build that left one out (a missing
# library, a forgotten install rule) fails here.
source_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
deb_files=(
  usr/lib/lxvst/TK42R.so
  usr/bin/tk42host
  usr/share/doc/tk42r/copyright
  usr/share/doc/tk42r/changelog.gz
)
# Inside the zip's top folder TK42R-VERSION-win64/.
zip_files=(
  VST2/TK42R_x64.dll
  tk42host.exe
  README.md
  LICENSE
)
if [ -d "$source_root/entry/clap" ]; then
  deb_files+=(usr/lib/clap/TK42R.clap)
  zip_files+=(CLAP/TK42R.clap)
fi
if [ -d "$source_root/entry/vst3" ]; then
  deb_files+=(usr/lib/vst3/TK42R.vst3/Contents/x86_64-linux/TK42R.so)
  zip_files+=(VST3/TK42R.vst3/Contents/x86_64-win/TK42R.vst3)
fi
if [ -d "$source_root/entry/lv2" ]; then
  deb_files+=(usr/lib/lv2/tk42r.lv2/manifest.ttl usr/lib/lv2/tk42r.lv2/tk42r.ttl
    usr/lib/lv2/tk42r.lv2/tk42r.so usr/lib/lv2/tk42r.lv2/tk42r_ui.so)
fi
if [ -f "$source_root/tools/tk42host/tk42host.1" ]; then
  deb_files+=(usr/share/man/man1/tk42host.1.gz)
fi
